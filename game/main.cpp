// Process entry: everything happens in the entry routine of the game shell.
#include "game/shell/entry.h"

int main(int argc, char** argv)
{
    return EntryMain(argc, argv);
}
