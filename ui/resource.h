// Resource and control identifiers of the program. Plain #defines so the resource compiler and
// the C++ code share one list; the plain-C++ dialog logic uses them too.
#pragma once

// Resources.
#define IDD_MAIN_DIALOG 100
#define IDI_MAIN_ICON 128
#define IDB_LOGO 129
#define IDD_ABOUT_BOX 101
#define IDD_CHECK_WINDOW 102
#define IDB_ABOUT_LOGO 132
#define IDB_ABOUT_PICTURE 133
#define IDB_ABOUT_BANNER 135
#define IDM_ABOUT_BOX 16  // system menu entry; a multiple of 16, as system commands require

// The bitmaps drawn for 150 and 200 %, numbered ImageVariantIdStep and twice that after their
// 100 % drawing (ui/dpi_math.h).
#define IDB_LOGO_150 1129
#define IDB_LOGO_200 2129
#define IDB_ABOUT_LOGO_150 1132
#define IDB_ABOUT_LOGO_200 2132
#define IDB_ABOUT_PICTURE_150 1133
#define IDB_ABOUT_PICTURE_200 2133
#define IDB_ABOUT_BANNER_150 1135
#define IDB_ABOUT_BANNER_200 2135

// String table.
#define IDS_ABOUT_BOX 101
#define IDS_SELECT_ALGORITHM 102
#define IDS_HEX_ODD_LENGTH 103
#define IDS_HEX_ILLEGAL_CHAR 104
#define IDS_SELECT_FILE 105
#define IDS_UNKNOWN_ERROR 106
#define IDS_ACCESS_DENIED 107
#define IDS_CANNOT_OPEN 108
#define IDS_PATH_TOO_LONG 109
#define IDS_NOT_FOUND 110
#define IDS_CHECK_NO_SUM_FILE 120
#define IDS_CHECK_SUM_FILE_NOT_FOUND 121
#define IDS_CHECK_SUM_FILE_UNREADABLE 122
#define IDS_CHECK_NO_LINES 123
#define IDS_CHECK_FILE_COLUMN 124
#define IDS_CHECK_ALGORITHM_COLUMN 125
#define IDS_CHECK_VERDICT_COLUMN 126
#define IDS_FIND_FILE_TIP 1003  // the tool tip of the browse button, numbered as its control

// Main dialog: the input block.
#define IDC_DATA_VALUE 1002
#define IDC_BROWSE 1003
#define IDC_HMAC 1004
#define IDC_KEY_VALUE 1005
#define IDC_DATA_FORMAT 1030
#define IDC_KEY_FORMAT 1031
#define IDC_INPUT_LINE 1033

// Main dialog: algorithm check boxes and result edits.
#define IDC_MD5 1008
#define IDC_MD5_RESULT 1009
#define IDC_MD4 1038
#define IDC_MD4_RESULT 1037
#define IDC_SHA1 1010
#define IDC_SHA1_RESULT 1011
#define IDC_SHA256 1012
#define IDC_SHA256_RESULT 1013
#define IDC_SHA384 1014
#define IDC_SHA384_RESULT 1015
#define IDC_SHA512 1016
#define IDC_SHA512_RESULT 1017
#define IDC_RIPEMD160 1018
#define IDC_RIPEMD160_RESULT 1019
#define IDC_PANAMA 1020
#define IDC_PANAMA_RESULT 1021
#define IDC_TIGER 1026
#define IDC_TIGER_RESULT 1027
#define IDC_MD2 1006
#define IDC_MD2_RESULT 1007
#define IDC_ADLER32 1022
#define IDC_ADLER32_RESULT 1023
#define IDC_CRC32 1024
#define IDC_CRC32_RESULT 1025
#define IDC_EDONKEY 1039
#define IDC_EDONKEY_RESULT 1040
#define IDC_EDONKEY_LINE_ABOVE 1035
#define IDC_EDONKEY_LINE_BELOW 1036

// Main dialog: the bottom row (Calculate and Close are IDOK and IDCANCEL).
#define IDC_BOTTOM_LINE 1034
#define IDC_LOGO 1028
#define IDC_HELP_BUTTON 1029
#define IDC_SIZE_GRIP 1032

// Main dialog: a calculation's progress bar, and the status text that shows its progress and,
// after it, the marks in words.
#define IDC_PROGRESS_BAR 1041
#define IDC_STATUS_TEXT 1042

// About box.
#define IDC_ABOUT_PRODUCT 1011
#define IDC_ABOUT_VERSION 1012
#define IDC_ABOUT_LEGAL_FIRST 1013
#define IDC_ABOUT_ADDRESS 1014
#define IDC_ABOUT_LEGAL_SECOND 1015
#define IDC_ABOUT_PICTURE 1022
#define IDC_ABOUT_BANNER 1023
#define IDC_ABOUT_TRANSLATOR 1025
#define IDC_ABOUT_LOGO 1035
#define IDC_ABOUT_LIBRARY 1036

// Checking window (Close is IDCANCEL).
#define IDC_CHECK_SUM_FILE 1100
#define IDC_CHECK_LIST 1101
#define IDC_CHECK_PROGRESS 1102
#define IDC_CHECK_SPEED 1103
#define IDC_CHECK_SUMMARY 1104
#define IDC_CHECK_STOP 1105
#define IDC_CHECK_COPY 1106
#define IDC_CHECK_HELP 1107
