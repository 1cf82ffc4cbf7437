// Resource ids shared by plix.rc and the code that loads the resources.
#pragma once

#define IDS_APP_TITLE     103
#define IDS_WINDOW_CLASS  109

#define IDI_PLIX          107
#define IDI_PLIX_SMALL    108

#define IDA_PLIX          109
#define IDM_ABOUT_KEY     104

#define IDD_ABOUT         103
#define IDD_CONFIG        129
#define IDC_FREQUENCY     1000
#define IDC_RANGE_MESSAGE 1001
