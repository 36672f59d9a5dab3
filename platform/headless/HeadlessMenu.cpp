// The options menu: the pretend user chooses the item the test asked for, or none.
#include "platform/headless/HeadlessPlatform.h"

int THeadlessPlatform::TrackPopupMenu(int, int, const TMenuEntry* entries, int count) {
    ++MenuOpenings;
    LastMenu.assign(entries, entries + count);
    const int choice = PendingMenuChoice;
    PendingMenuChoice = -1;
    if (choice < 0 || choice >= count || !entries[choice].Enabled) return -1;
    return choice;
}
