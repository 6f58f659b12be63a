// Run state: the run-command string and its passes, the run-state flags that
// tell a host what is running, and the switches that steer the run driver.
#pragma once

namespace zefra {

// Raised by Initial around the call they describe (1 while it runs).
inline int gFlagRead = 0;    // reading a result file (letter R)
inline int gFlagWriteR = 0;  // writing results (letter M)
inline int gFlagFlow = 0;    // a 3D or 2D flow computation (letters W, D)
inline int gFlagSedim = 0;   // sediment initialisation or computation (letters I, S)
inline int gFlagComp = 0;    // water-quality components (letter Q)
inline int gFlagInit = 0;    // the start-up sequence is complete; never reset

// Flags of a graphical host; the engine only resets them.
inline int gFlagWriteX = 0;
inline int gFlagMap = 0;
inline int gFlagContour = 0;
inline int gFlagLong = 0;
inline int gFlagVerifyProfile = 0;
inline int gFlagVerifyMap = 0;
inline int gFlagCross = 0;
inline int gFlagAnim = 0;
inline int gFlag3D = 0;
inline int gFlagColorMap = 0;
inline int gFlagVectorColorMap = 0;
inline int gFlagVectorColorMap3D = 0;
inline int FlagGridChange = 0;
inline int gFlagTemp = 0;

inline int FlagStart = 0;       // the start-up has begun (set once by the program entry)
inline int FlagInitSedim = 0;   // letter I has run; never reset
inline int FlagSedimDial = 0;   // cleared by letter S
inline int FlagErrorBreak = 0;  // a computation failed in a way the driver survives
inline int FlagInitialized = 0; // the flow fields hold a started solution
inline int FlagDepthAveraged = 0;  // the columns (index 0) hold the flow of the depth-averaged solver
inline int FlagFlowParamChange = 0;  // a host asks the flow solver to re-read its scheme settings

constexpr int RunStringSize = 20;
constexpr int RunLettersExecuted = 10;  // only run[0] ... run[9] are executed
inline char run[RunStringSize];         // run-command string (F 2)
inline int IterF2 = 1;                  // passes over the run string (F 20)

inline char debugging = 'N';  // F 1: 'D', 'P' add detail, 'E' suppresses progress messages

constexpr int TitleSize = 30;
inline char Title[TitleSize + 1];  // T data set, stored from Title[1]; one spare byte keeps it terminated

constexpr int OptionsSize = 20;
inline char options[OptionsSize];  // F 7 option letters in options[1 ... 8]

// Called with each run letter just before it is executed, and the pass over
// the run string (1 ... IterF2); a host or a test may set it to follow a run.
inline void (*run_letter_observer)(char letter, int pass) = nullptr;

// Whether the F 7 option letters contain `letter`.
bool has_option(char letter);

void default_run_settings();
void reset_run_flags();

}  // namespace zefra
