/* Notchlog's name and version: the one place both the resource script and
   the code read them from. Only #define lines, so the resource compiler
   can take it too. */
#ifndef NOTCHLOG_APP_INFO_H
#define NOTCHLOG_APP_INFO_H

#define NL_APP_TITLE "Notchlog"
#define NL_MAIN_CAPTION NL_APP_TITLE " - 20080523"

#define NL_VERSION_MAJOR 1
#define NL_VERSION_MINOR 0
#define NL_VERSION_BUILD 0
#define NL_VERSION_REVISION 7
/* major, minor padded to two digits, revision padded to four */
#define NL_VERSION_TEXT "1.00.0007"

#endif
