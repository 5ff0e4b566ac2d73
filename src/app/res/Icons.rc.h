// Resource ids of the program, tray and menu icons (drawn in art/icons/, rendered by
// tools/make-icons.sh). Shared by Icons.rc and the code that loads them.
#ifndef TEMPORA_APP_RES_ICONS_RC_H
#define TEMPORA_APP_RES_ICONS_RC_H

// Program icon: 16, 20, 24, 32, 48 and 256 px. The lowest id, so the shell shows it for the .exe.
#define IDI_TEMPORA 1

// Tray icons (16, 20, 24, 32 px): the normal icon, then the frames shown in turn while
// unread popup messages wait (a green dot over the clock that pulses).
#define IDI_TRAY_NORMAL 10
#define IDI_TRAY_ANIM1 11
#define IDI_TRAY_ANIM2 12
#define IDI_TRAY_ANIM3 13
#define IDI_TRAY_ANIM4 14
#define TRAY_ANIM_FRAMES 4

// Menu icons: one 32-bit bitmap with straight (not premultiplied) alpha, MENUICON_COUNT
// squares of MENUICON_SIZE px side by side, in menu image index order: 0 options,
// 1 help, 2 exit, 3 about, 4 home page, 5 timed tasks, 6 calendar marks, 7 world time.
#define IDB_MENUICONS 20
#define MENUICON_SIZE 16
#define MENUICON_COUNT 8

#endif
