#pragma once
// Resource ids of orvshell.dll, shared by orvshell.rc and the code that loads them.
// Plain macros, because the resource compiler reads this file too.

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Property sheet page templates, by name.
#define IDD_PLAN_PROPERTIES "PlanProperties"
#define IDD_LIBPART_PROPERTIES "LibPartProperties"
#define IDD_LIBPART_SCRIPT "LibPartScript"
#define IDD_QDL_PROPERTIES "QDLProperties"
#define IDD_MODUL_PROPERTIES "ModulProperties"
#define IDD_SFOLD_PROPERTIES "SfoldProperties"
#define IDD_PROJECT_DATA "ProjectData"
#define IDD_INFO "Info"
#define IDD_INFO_SCRIPT "InfoScript"

// The viewer's About box, menu and toolbar strip (five 16 x 16 images).
#define IDD_ABOUT 1
#define IDR_VIEWER_MENU 1
#define IDB_TOOLBAR 1

// Controls of the Info pages (plan, library part, module, object script, layout book).
#define IDC_VERSION_LABEL 1001
#define IDC_VERSION 1002
#define IDC_RELEASE_LABEL 1003
#define IDC_RELEASE 1004
#define IDC_WRITER_LABEL 1005
#define IDC_WRITER 1006
#define IDC_PLATFORM_LABEL 1007
#define IDC_PLATFORM 1008
#define IDC_DOCUMENT_NAME_LABEL 1009
#define IDC_DOCUMENT_NAME 1010
#define IDC_SIGN_IN_LABEL 1011
#define IDC_SIGN_IN 1012
#define IDC_PROJECT_PATH_LABEL 1013
#define IDC_PROJECT_PATH 1014
// The hidden placeholder whose rectangle receives the preview, or the one text edit
// of the script and text pages.
#define IDC_PREVIEW 1015
#define IDC_TEXT 1015

// Controls of the "Project Info" page.
#define IDC_PROJECT 1003
#define IDC_AUTHOR 1004
#define IDC_REVISION 1005
#define IDC_AUTHOR_LABEL 1006
#define IDC_DRAWING_PREFIX 1007
#define IDC_KEYWORDS 1008
#define IDC_COMMENTS 1009
#define IDC_REVISION_LABEL 1010
#define IDC_DRAWING_PREFIX_LABEL 1011
#define IDC_KEYWORDS_LABEL 1012
#define IDC_COMMENTS_LABEL 1013

// Viewer menu commands, also the toolbar's button commands.
#define IDM_OPEN 100
#define IDM_EXIT 120
#define IDM_TOOLBAR 200
#define IDM_STATUS_BAR 201
#define IDM_REPLACE 223
#define IDM_ABOUT 300

// Icon groups of the document types, named after their extensions.
#define IDI_QDD 150
#define IDI_QPD 151
#define IDI_QDL 152
#define IDI_QXM 153
#define IDI_LMP 154
#define IDI_DOR 155
#define IDI_WIN 156
#define IDI_RSM 158
#define IDI_ISM 159
#define IDI_WPS 160
#define IDI_CPS 161
#define IDI_SPS 162
#define IDI_RPS 163
#define IDI_FPS 164
#define IDI_QPS 165
#define IDI_MOD 166
#define IDI_SFK 167
#define IDI_LAY 168
#define IDI_PLA 169
#define IDI_PLN 170
#define IDI_PLP 171
#define IDI_PLC 172
#define IDI_PCA 173
#define IDI_VEC 174
#define IDI_PPA 175
#define IDI_VIEWER 177
// Library parts without a preview, by object type code.
#define IDI_STAIR 178
#define IDI_PSAS 179

// Platform names.
#define IDS_WINDOWS 1001
#define IDS_MACINTOSH 1002
#define IDS_UNIX 1003
#define IDS_UNKNOWN 1004
// Headings of the vector font listing.
#define IDS_MAC_VECTOR_FONTS 1005
#define IDS_WIN_VECTOR_FONTS 1006
// Applications that write layout books.
#define IDS_BAUVELLE 1013
#define IDS_SHEETFOLD 1014
// Titles of the text pages.
#define IDS_PROJECT_NOTES 1015
#define IDS_1D_SCRIPT 1016
#define IDS_2D_SCRIPT 1017
#define IDS_3D_SCRIPT 1018
#define IDS_PROPERTIES_SCRIPT 1019
#define IDS_VALUE_LIST_SCRIPT 1020
#define IDS_UID_SCRIPT 1021
#define IDS_COMMENT 1022

// The viewer: frame title, status texts and tool tips.
#define IDS_VIEWER_TITLE 1023
#define IDS_STATUS_NONE 2001
#define IDS_STATUS_READY 2002
#define IDS_STATUS_SYSTEM_MENU 2003
#define IDS_STATUS_RESTORE 2004
#define IDS_STATUS_MOVE 2005
#define IDS_STATUS_SIZE 2006
#define IDS_STATUS_MINIMIZE 2007
#define IDS_STATUS_MAXIMIZE 2008
#define IDS_STATUS_CLOSE 2009
#define IDS_STATUS_FILE_MENU 2010
#define IDS_STATUS_OPEN 2011
#define IDS_STATUS_EXIT 2012
#define IDS_STATUS_VIEW_MENU 2013
#define IDS_STATUS_TOOLBAR 2014
#define IDS_STATUS_STATUS_BAR 2015
#define IDS_STATUS_REPLACE 2016
#define IDS_STATUS_HELP_MENU 2017
#define IDS_STATUS_ABOUT 2018
#define IDS_STATUS_VIEWPORT 2019
#define IDS_TIP_OPEN 3000
#define IDS_TIP_REPLACE 3001
