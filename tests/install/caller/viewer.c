/* An outside viewer of libsandral, written in C and built against the
 * installed headers and library only: lists a recording's channels and
 * decodes its first packets into a file. */
#include <stdio.h>
#include <string.h>

#include "sandral.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: viewer RECORDING OUTPUT\n");
        return 2;
    }
    char list[SANDRAL_CHANNEL_LIST_SIZE];
    memset(list, 0, sizeof list);
    int r = Ch10GetChannelList(argv[1], list);
    printf("Ch10GetChannelList = %d: %s\n", r, list);
    r = Ch10GetNextPacket("ALL", argv[2], "3");
    printf("Ch10GetNextPacket = %d\n", r);
    return 0;
}
