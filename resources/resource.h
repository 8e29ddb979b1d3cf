// Identifiers of the dialog layouts, menus, strings and controls, shared by the .rc files and
// the C++ code. Plain macros, as the resource compiler reads this file too.
#pragma once

// Controls that the code never addresses: labels and frames. The MinGW headers lack it.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Dialogs and menus.
#define IDD_MAIN 9
#define IDD_SETTINGS 102
#define IDR_SETTINGS_MENU 103
#define IDD_NETWORK_PAGE 104
#define IDD_LAN_PAGE 105
#define IDD_SERIAL_PAGE 106
#define IDD_ADD_ADDRESS 108
#define IDD_PASSWORD 109
#define IDR_MAIN_MENU 111

// Strings: the windows' own texts, in every language's string table.
#define IDS_ERROR_CAPTION 200
#define IDS_CONFIRM_CAPTION 201
#define IDS_VERSION_CAPTION 202
#define IDS_VERSION_TEXT 203  // a format with the major and the minor version: %d, %02d
#define IDS_PASSWORD_CAPTION 204
#define IDS_NO_PASSWORD 205
#define IDS_SEARCHING 206
#define IDS_COLUMN_ADDRESS 207  // the device list's column titles, in column order
#define IDS_COLUMN_MAC 208
#define IDS_COLUMN_MODEL 209
#define IDS_COLUMN_VERSION 210
// The history and the change log that Apply keeps, and the wire trace (%1: the problem).
#define IDS_NO_DATA_FOLDER 211
#define IDS_HISTORY_NOT_KEPT 212
#define IDS_WRITE_WITHOUT_HISTORY 213
#define IDS_CHANGE_LOG_PROBLEM 214
#define IDS_TRACE_NOT_MADE 215

// Strings: the texts that follow the code of a socket error, by the code itself.
#define IDS_WSA_TIMED_OUT 10060
#define IDS_WSA_CONNECTION_REFUSED 10061

// Menu commands.
#define IDM_SAVE_SETTINGS_FILE 40004
#define IDM_OPEN_SETTINGS_FILE 40006
#define IDM_VERSION 40009

// Main window.
#define IDC_DEVICE_LIST 1001
#define IDC_SEARCH 1002
#define IDC_ADD_TO_LIST 1003
#define IDC_OPEN_SETTINGS 1004
#define IDC_STATUS 1088
#define IDC_ADAPTER 1095
// Button 2 ("remove from list") and the hidden button 1 keep the dialog identifiers IDCANCEL, IDOK.

// Add-address and password dialogs.
#define IDC_ADDRESS 1089
#define IDC_PASSWORD 1090

// Settings dialog.
#define IDC_TAB 1005
#define IDC_MODEL_LABEL 1011
#define IDC_SETTINGS_STATUS 1091

// Network page.
#define IDC_IP 1006
#define IDC_SUBNET_MASK 1008
#define IDC_GATEWAY 1009
#define IDC_NEW_PASSWORD 1012
#define IDC_NEW_PASSWORD_AGAIN 1013
#define IDC_AUTO_ADDRESS 1014
#define IDC_AUTO_NEGOTIATION 1015
#define IDC_SPEED_10M 1016
#define IDC_SPEED_100M 1017
#define IDC_HALF_DUPLEX 1018
#define IDC_FULL_DUPLEX 1019
#define IDC_MSS 1020
#define IDC_KEEP_ALIVE 1021
#define IDC_CHANGE_PASSWORD 1022
#define IDC_IP_LABEL 1054
#define IDC_SUBNET_MASK_LABEL 1055
#define IDC_GATEWAY_LABEL 1056
#define IDC_SPEED_LABEL 1057
#define IDC_DUPLEX_LABEL 1058
#define IDC_NEW_PASSWORD_LABEL 1059
#define IDC_NEW_PASSWORD_AGAIN_LABEL 1060

// LAN page.
#define IDC_UDP_ADDRESS 1007
#define IDC_PROTOCOL 1023
#define IDC_RECEIVE_PORT 1024
#define IDC_UDP_PORT 1025
#define IDC_SERVER_CONDITION 1026
#define IDC_CLIENT_CONDITION 1027
#define IDC_CLIENT_ADDRESS 1028
#define IDC_CLIENT_PORT 1029
#define IDC_LAN_PASSWORD 1030
#define IDC_DISCONNECT_CONDITION 1031
#define IDC_IDLE_TIME 1032
#define IDC_DISCONNECT_CHAR 1033
#define IDC_FLUSH 1034
#define IDC_RFC2217 1035
#define IDC_UDP_GROUP 1061
#define IDC_UDP_ADDRESS_LABEL 1062
#define IDC_UDP_PORT_LABEL 1063
#define IDC_TCP_GROUP 1064
#define IDC_SERVER_GROUP 1065
#define IDC_SERVER_CONDITION_LABEL 1066
#define IDC_CLIENT_GROUP 1067
#define IDC_CLIENT_CONDITION_LABEL 1068
#define IDC_CLIENT_ADDRESS_LABEL 1069
#define IDC_CLIENT_PORT_LABEL 1070
#define IDC_DISCONNECT_CONDITION_LABEL 1072
#define IDC_IDLE_TIME_LABEL 1073
#define IDC_DISCONNECT_CHAR_LABEL 1074
#define IDC_UDP_CAPTION 1075
#define IDC_TCP_CAPTION 1076
#define IDC_CLIENT_CHAR 1086
#define IDC_CLIENT_CHAR_LABEL 1087
#define IDC_IDLE_TIME_RANGE 1092
#define IDC_SERVER_MODE 1098
#define IDC_CLIENT_MODE 1099
#define IDC_RECEIVE_PORT_LABEL 1100
#define IDC_PASSWORD_REQUIRED 1101

// Serial page.
#define IDC_BAUD_RATE 1010
#define IDC_DRIVER_ON_SEND 1036
#define IDC_DRIVER_ALWAYS 1037
#define IDC_DATA_BITS 1038
#define IDC_PARITY 1039
#define IDC_STOP_BITS 1040
#define IDC_FLOW 1041
#define IDC_XON 1042
#define IDC_XOFF 1043
#define IDC_PACKING 1044
#define IDC_PACKING_TIME 1045
#define IDC_SPECIFIED_CHAR 1046
#define IDC_CHAR_COUNT 1047
#define IDC_DATA_COUNT 1048
#define IDC_CHAR_1 1050
#define IDC_CHAR_2 1051
#define IDC_TRAILING_COUNT 1052
#define IDC_DATA_COUNT_VALUE 1053
#define IDC_DRIVER_LABEL 1079
#define IDC_CHAR_1_LABEL 1080
#define IDC_CHAR_2_LABEL 1081
#define IDC_TRAILING_COUNT_LABEL 1082
#define IDC_XON_LABEL 1083
#define IDC_XOFF_LABEL 1084
#define IDC_PACKING_TIME_LABEL 1085
#define IDC_PACKING_TIME_RANGE 1093
#define IDC_DATA_COUNT_RANGE 1094
#define IDC_CHAR_COUNT_LABEL 1097
