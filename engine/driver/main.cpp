// The zefra executable.
#include "engine/driver/entry.h"

int main(int argc, char** argv)
{
    return zefra::run_zefra(argc, argv);
}
