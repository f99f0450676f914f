#pragma once

// Resource ids of the program's artwork, shared by the .rc files and the code.
// Plain macros because the resource compiler reads this header too.

// Icon 1 is the first icon group, so the shell shows it as the exe's icon.
#define VELMORA_IDI_PROGRAM 1
// JPEGs kept as raw bytes and decoded with libjpeg.
#define VELMORA_IDR_PRODUCT_PICTURE 101
#define VELMORA_IDR_SMALL_PICTURE 102
// 16x16, 16 colours on a silver background (LR_LOADMAP3DCOLORS maps it to the menu colour).
#define VELMORA_IDB_MENU_OPTIONS 201
#define VELMORA_IDB_MENU_CLOSE 202
// The key cap beside each macro in the options window's list.
#define VELMORA_IDB_KEYCAP 203
