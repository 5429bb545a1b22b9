/* String-table ids of the skin's texts (SkinStrings.rc), shared by the resource script and the
   code in the way of a resource.h: the resource compiler reads #define lines only. */
#ifndef KYR_STRINGS_H
#define KYR_STRINGS_H

/* The title bar's window menu (TkyrTitleBarPopupMenu). */
#define KYR_STR_MINIMIZE 4000
#define KYR_STR_MAXIMIZE_RESTORE 4001
#define KYR_STR_CLOSE 4002

#endif
