// Resource ids of the class layer's test program.
#ifndef CLASSLIB_TEST_RESOURCE_H
#define CLASSLIB_TEST_RESOURCE_H

#define IDR_TESTFRAME       300
#define IDD_TESTDIALOG      301
#define IDD_TABDIALOG       302
#define IDD_PAGE            303

#define IDC_NAME            1001
#define IDC_CHECK           1002
#define IDC_TAB             1003
#define IDC_PLACEHOLDER     1004
#define IDC_PAGE_BUTTON     1005
#define IDC_PAGE_EDIT       1006
#define IDC_PAGE_LIST       1007

#define ID_TEST_ROUTED      40001
#define ID_TEST_FRAMEONLY   40002
#define ID_TEST_DISABLED    40003
#define ID_TEST_CHECKED     40004
#define ID_TEST_RELABEL     40005
#define ID_TEST_APPCMD      40006
#define ID_INDICATOR_TEST   40100

#define ID_VIEW_TOOLBAR     59392
#define ID_VIEW_STATUS_BAR  59393

#endif
