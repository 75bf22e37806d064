// Resource ids of the installer. Plain #defines: the resource compiler
// reads this file too.
#ifndef VISTREL_SETUP_RESOURCE_H
#define VISTREL_SETUP_RESOURCE_H

#define IDI_SETUP                   101
#define IDD_SETUP                   102
#define IDB_SETUP_PICTURE           103
#define IDB_SETUP_MASK              105

#define IDC_SETUP_NEXT              1001
#define IDC_SETUP_BACK              1002
#define IDC_SETUP_ACCEPT            1004
#define IDC_SETUP_DECLINE           1005
#define IDC_SETUP_NOTICE            1006
#define IDC_SETUP_FOLDER_LABEL      1007
#define IDC_SETUP_FOLDER            1008
#define IDC_SETUP_BROWSE            1009
#define IDC_SETUP_DESKTOP           1010
#define IDC_SETUP_START_MENU        1011
#define IDC_SETUP_PROGRESS          1012
#define IDC_SETUP_INSTALLING        1013
#define IDC_SETUP_NOTICE_LABEL      1014

#endif
