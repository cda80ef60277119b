// Resource identifiers shared by the resource scripts and the code.
#pragma once

#define IDS_DISPLAY_NAME 5101
#define IDS_HELP_SHORTCUT 5102
#define IDS_MANUAL_SHORTCUT 5103
#define IDS_CAPTION 5104
#define IDS_REMOVAL_DONE 5105
#define IDS_DELETE_BY_HAND 5106
#define IDS_CONFIRM_REMOVAL 5107
#define IDS_NO_LIST_FILE 5108
#define IDS_TYPE_QBX 5109
#define IDS_TYPE_ZIP 5110
#define IDS_TYPE_REV 5111
#define IDS_HOME_PAGE 5112
#define IDS_SHORTCUT_DESCRIPTION 5113
#define IDS_RESTART_NEEDED 5114
