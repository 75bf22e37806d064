// Resource ids of the main program, shared by the resource scripts and the
// code. Plain #defines only: the resource compiler reads this file too.
#ifndef VISTREL_RESOURCE_H
#define VISTREL_RESOURCE_H

// The main frame: menu, tool bar, accelerator table, icon and the string
// "vistrel" all carry this id.
#define IDR_MAINFRAME               128

// Strings of the application
#define IDS_APP_TITLE               57344   // "Vistrel"
#define IDS_IDLEMESSAGE             57345

// The frame's pane, bars and status-bar panes
#define IDW_PANE                    59648
#define IDW_TOOLBAR                 59392
#define IDW_STATUS_BAR              59393
#define ID_INDICATOR_TOTALS         61206

// Menu commands of the main frame
#define ID_FILE_NEW                 32778
#define ID_FILE_OPEN                32777
#define ID_FILE_SAVE                32776
#define ID_FILE_SAVE_AS             32779
#define ID_FILE_PRINT               57607
#define ID_FILE_PRINT_SETUP         32830
#define ID_FILE_IMPORT              32810
#define ID_FILE_EXPORT              32798
#define ID_FILE_RECENT1             32812   // 32812..32821: the ten recent files
#define ID_FILE_RECENT10            32821
#define ID_APP_EXIT                 57665
#define ID_MOVIE_PROPERTIES         32828
#define ID_MOVIE_DELETE             37000
#define ID_VIEW_MOVIES              32772
#define ID_VIEW_DRIVES              32773
#define ID_VIEW_LISTING             209
#define ID_VIEW_CUSTOMIZE           211
#define ID_VIEW_TOOLBAR             59392
#define ID_VIEW_STATUS_BAR          59393
#define ID_SORT_ID                  32823
#define ID_SORT_TITLE               32790
#define ID_SORT_TYPE                32791
#define ID_SORT_GENRE               32792
#define ID_SORT_CUSTOM              32827
#define ID_SORT_ASCENDING           32794
#define ID_SORT_DESCENDING          32796
#define ID_ADD_CDROM                32774
#define ID_ADD_FILE                 32824
#define ID_ADD_MOVIE                32775
#define ID_SEARCH                   32802
#define ID_MASS_UPDATE_IMDB         32780
#define ID_COMPARE_DATABASES        32836
#define ID_MANAGE_PERSONS           32834
#define ID_CONFIGURE                32781
#define ID_INTERNET_SETTINGS        212
#define ID_CONFIGURE_PLUGINS        214
#define ID_HELP_INDEX               57664
#define ID_APP_ABOUT                32826

// Pictures: the cover menu and its commands, the full-size cover dialog and
// the built-in pictures (resource type "GIF") for movies without a cover
#define IDR_COVER_MENU              154
#define IDD_SHOW_COVER              163
#define IDC_COVER                   1029
#define IDR_DEFAULT_PICTURE         216     // the listing's
#define IDR_DEFAULT_COVER           217     // the cover control's
#define ID_COVER_LOAD               32799
#define ID_COVER_SAVE               32800
#define ID_COVER_REMOVE             32801
#define ID_COVER_SHOW               32811

// Disc scanning: the name check and the update-movie-file question
#define IDD_NAME_CHECK              143
#define IDC_NAMECHECK_PATH          1041
#define IDC_NAMECHECK_NAME          1021
#define IDC_NAMECHECK_NEVER         1057
#define IDC_NAMECHECK_PROMPT        1058
#define IDC_NAMECHECK_COUNT         1060
#define IDD_UPDATE_MOVIE_FILE       176
#define IDC_UPDATEFILE_ALWAYS       1220
#define IDC_UPDATEFILE_OLD          1230
#define IDC_UPDATEFILE_NEW          1231

// The progress window: its dialog, text and bar
#define IDD_PROGRESS                148
#define IDC_PROGRESS_TEXT           1039
#define IDC_PROGRESS_BAR            1067

// Background dialogs of the movie-box design
#define IDD_IMAGE_BACKGROUND        169
#define IDD_SOLID_BACKGROUND        170
#define IDD_BORDER_COLORS           171
#define IDC_BG_SWATCH               1201
#define IDC_BG_CHANGE               1108
#define IDC_BG_LEVELS               1271
#define IDC_BORDER_LEVELS           1174
#define IDC_BORDER_LIGHT            1185
#define IDC_BORDER_NORMAL           1186
#define IDC_BORDER_DARK             1187
#define IDC_BORDER_CHANGE_LIGHT     1188
#define IDC_BORDER_CHANGE_DARK      1189
#define IDC_IMAGE_PREVIEW           1167
#define IDC_IMAGE_BROWSE            1170
#define IDC_IMAGE_STRETCH           1173
#define IDC_IMAGE_TILE              1174

// Designing the movie-box: the configuration dialog with its preview, the
// edit item dialog and the background rule dialog
#define IDD_CONFIGURE_LISTING       168
#define IDD_EDIT_ITEM               172
#define IDD_EDIT_BACKGROUND         193
#define IDC_LISTING_PREVIEW         1105
#define IDC_LISTING_ADD_ITEM        1155
#define IDC_LISTING_DELETE_ITEMS    1156
#define IDC_LISTING_EDIT_ITEM       1157
#define IDC_LISTING_MARGIN_X        1159
#define IDC_LISTING_MARGIN_Y        1160
#define IDC_LISTING_SOLID           1161
#define IDC_LISTING_IMAGE           1162
#define IDC_LISTING_SET_COLOR       1163
#define IDC_LISTING_SET_IMAGE       1164
#define IDC_LISTING_3D_BORDER       1165
#define IDC_LISTING_BORDER_COLORS   1166
#define IDC_LISTING_FLAT_BORDER     1167
#define IDC_LISTING_LEVELS          1174
#define IDC_LISTING_BORDER_WIDTH    1180
#define IDC_LISTING_ADD_LEVEL       1272
#define IDC_LISTING_EDIT_LEVEL      1273
#define IDC_LISTING_DELETE_LEVEL    1274
#define IDC_LISTING_LEVEL_UP        1277
#define IDC_LISTING_LEVEL_DOWN      1278
#define IDC_ITEM_H_ANCHOR           1105
#define IDC_ITEM_V_ANCHOR           1106
#define IDC_ITEM_ABSOLUTE           1190
#define IDC_ITEM_ALIGNED            1191
#define IDC_ITEM_X                  1192
#define IDC_ITEM_Y                  1193
#define IDC_ITEM_COVER              1196
#define IDC_ITEM_TEXT               1197
#define IDC_ITEM_COLOR_SWATCH       1198
#define IDC_ITEM_CHOOSE_FONT        1199
#define IDC_ITEM_FONT_SAMPLE        1200
#define IDC_ITEM_CHOOSE_COLOR       1201
#define IDC_ITEM_CLIP               1202
#define IDC_ITEM_WIDTH              1203
#define IDC_ITEM_HEIGHT             1204
#define IDC_ITEM_REAL_SIZE          1209
#define IDC_ITEM_KEEP_ASPECT        1210
#define IDC_ITEM_NEVER_ZOOM         1211
#define IDC_ITEM_USE_FONT           1212
#define IDC_ITEM_USE_COLOR          1213
#define IDC_ITEM_TEMPLATE           1214
#define IDC_ITEM_LEFT               1228
#define IDC_ITEM_HCENTER            1229
#define IDC_ITEM_RIGHT              1230
#define IDC_ITEM_TOP                1231
#define IDC_ITEM_VCENTER            1232
#define IDC_ITEM_BOTTOM             1233
#define IDC_RULE_TEMPLATE           1273
#define IDC_RULE_EQUALS             1274
#define IDC_RULE_VALUE              1275
#define IDC_RULE_LONGER             1276
#define IDC_RULE_LENGTH             1277
#define IDC_RULE_RANGE              1278
#define IDC_RULE_LOWER              1279
#define IDC_RULE_UPPER              1280
#define IDC_RULE_CASE               1281

// Adding discs: the drive choice and the wait window
#define IDD_ADD_CDROM               136
#define IDD_WAIT                    137
#define IDC_ADDCD_EJECT             1033
#define IDC_ADDCD_REDISPLAY         1034
#define IDC_ADDCD_DRIVES            1038
#define IDC_WAIT_TEXT               1039

// Printing: the print setup dialog
#define IDD_PRINT_SETUP             178
#define IDC_PRINT_BOTTOM            1233
#define IDC_PRINT_RIGHT             1234
#define IDC_PRINT_LEFT              1235
#define IDC_PRINT_TOP               1236
#define IDC_PRINT_FIT               1238
#define IDC_PRINT_FILL              1239
#define IDC_PRINT_CLIP              1240
#define IDC_PRINT_HALVES            1241

// Import from text files: the import dialog and the field-mapping dialog
#define IDD_IMPORT                  161
#define IDD_IMPORT_TEXT             162
#define IDC_IMPORT_BROWSE           1086
#define IDC_IMPORT_LIST             1105
#define IDC_IMPORT_TEXTDIV          1120
#define IDC_IMPORT_STRINGDIV        1121
#define IDC_IMPORT_FILE             1122
#define IDC_IMPORT_RUN              1124
#define IDC_IMPORT_ADD              1125
#define IDC_IMPORT_ADD_ALL          1126
#define IDC_IMPORT_FIELD1           1126    // the seven field boxes
#define IDC_IMPORT_FIELD2           1127
#define IDC_IMPORT_FIELD3           1128
#define IDC_IMPORT_FIELD4           1129
#define IDC_IMPORT_FIELD5           1130
#define IDC_IMPORT_FIELD6           1131
#define IDC_IMPORT_FIELD7           1132
#define IDC_IMPORT_SAMPLE1          1133    // the sample line's fields
#define IDC_IMPORT_SAMPLE2          1134
#define IDC_IMPORT_SAMPLE3          1135
#define IDC_IMPORT_SAMPLE4          1136
#define IDC_IMPORT_SAMPLE5          1137
#define IDC_IMPORT_SAMPLE6          1138
#define IDC_IMPORT_SAMPLE7          1139
#define IDC_IMPORT_OVERWRITE_ID     1140
#define IDC_IMPORT_OVERWRITE_NAME   1141

// Plug-in configuration
#define IDD_CONFIGURE_PLUGINS       213
#define IDC_PLUGINS_RESCAN          3
#define IDC_PLUGINS_LIST            1065
#define IDC_PLUGINS_PRIORITY        1306
#define IDC_PLUGINS_SPIN            1308
#define IDC_PLUGINS_MORE_INFO       1310

// Persons and loans
#define IDD_LOAN                    188
#define IDD_ADD_PERSON              189
#define IDD_MANAGE_PERSONS          190
#define IDD_PERSON_INFO             191
#define IDR_LOAN_MENU               192
#define IDC_LOAN_PROMPT             1002
#define IDC_PERSON_NAME             1021
#define IDC_PERSON_ADDRESS          1264
#define IDC_PERSON_TELEPHONE        1265
#define IDC_PERSON_STATISTICS       1257
#define IDC_PERSONS_LIST            1262
#define IDC_PERSONS_ADD             1263
#define IDC_PERSONS_REMOVE          1264
#define IDC_PERSONS_INFO            1268
#define IDC_PERSON_LOANS            1270
#define ID_LOAN_RETURNED            33001
#define ID_LOAN_LOCATE              33002

// Search
#define IDD_SEARCH                  155
#define IDR_SEARCH_MENU             156
#define IDR_SEARCH_AVI              157
#define IDC_SEARCH_FILES            1011
#define IDC_SEARCH_RESULTS          1095
#define IDC_SEARCH_ANIMATION        1096
#define IDC_SEARCH_TEXT             1097
#define IDC_SEARCH_MOVIES           1098
#define IDC_SEARCH_EXACT            1099
#define IDC_SEARCH_ANY_WORD         1100
#define IDC_SEARCH_CASE             1101
#define IDC_SEARCH_EXTRA            1112
#define ID_RESULT_LOCATE_MOVIE      33010
#define ID_RESULT_LOCATE_FILE       33011
#define ID_RESULT_LOCATE_DISC       33012
#define ID_RESULT_SHOW_INFO         33013

// Comparing databases
#define IDD_COMPARE_DB              204
#define IDD_COMPARED_DB             205
#define IDC_COMPARE_FILE            1287
#define IDC_COMPARE_BROWSE          1086
#define IDC_COMPARE_TITLE           1289
#define IDC_COMPARE_TITLE_TYPE      1290
#define IDC_COMPARE_CUSTOM          1291
#define IDC_COMPARE_TEMPLATE        1225
#define IDC_COMPARED_CURRENT        1293
#define IDC_COMPARED_OTHER          1294
#define IDC_COMPARED_COPY_RIGHT     1296
#define IDC_COMPARED_COPY_LEFT      1297
#define IDC_COMPARED_INFO_OTHER     1298
#define IDC_COMPARED_INFO_CURRENT   1299
#define IDC_COMPARED_SAVE_OTHER     1081
#define IDC_COMPARED_FILE           1041
#define IDC_COMPARED_PROGRESS       1067

// Small dialogs: About, the site note, change id, overwrite question,
// multiple results and Configure
#define IDD_MULTIPLE_RESULTS        134
#define IDD_WHAT_IS_IMDB            135
#define IDD_CONFIGURE               147
#define IDD_CHANGE_ID               164
#define IDD_ABOUT                   173
#define IDD_OVERWRITE_INFO          174
#define IDC_ABOUT_VERSION           1002
#define IDC_ABOUT_GO                1215
#define IDC_CHANGEID_LIST           1105
#define IDC_CHANGEID_EDIT           1133
#define IDC_CHANGEID_EXCHANGE       1146
#define IDC_CHANGEID_MAKE_PLACE     1147
#define IDC_OVERWRITE_COMMENT       1016
#define IDC_OVERWRITE_RATE          1216
#define IDC_OVERWRITE_NEVER_ASK     1220
#define IDC_OVERWRITE_ONLY_EMPTY    1222
#define IDC_RESULTS_LIST            1023
#define IDC_RESULTS_SHOW_COVER      1223
#define IDC_RESULTS_WEBSITE         1224
#define IDC_CONFIG_NAME_ALWAYS      1073
#define IDC_CONFIG_NAME_SEVERE      1074
#define IDC_CONFIG_ASK_OVERWRITE    1075
#define IDC_CONFIG_ASK_UPDATE_FILE  1076
#define IDC_CONFIG_DVDRIP           1077
#define IDC_CONFIG_IMDB_RUNTIME     1078
#define IDC_CONFIG_SMALL_COVERS     1079
#define IDC_CONFIG_KEEP_TITLE       1080
#define IDC_CONFIG_KEEP_COVERS      1082
#define IDC_CONFIG_AUTOLOAD         1143
#define IDC_CONFIG_RECENT           1144

// Sort by custom
#define IDD_SORT_BY_CUSTOM          175
#define IDC_SORT_SCRIPT             1225

// The script editor: its accelerator table and commands
#define IDR_SCRIPT_EDIT             187
#define ID_SCRIPT_DELETE            37000
#define ID_SCRIPT_BACKSPACE         37001
#define ID_SCRIPT_TAB               37003
#define ID_SCRIPT_INSERT            37005
#define ID_SCRIPT_LEFT              37100   // 37100..37125: the caret moves,
#define ID_SCRIPT_SEL_LEFT          37101   // each followed by its selecting twin
#define ID_SCRIPT_RIGHT             37102
#define ID_SCRIPT_SEL_RIGHT         37103
#define ID_SCRIPT_WORD_LEFT         37104
#define ID_SCRIPT_SEL_WORD_LEFT     37105
#define ID_SCRIPT_WORD_RIGHT        37106
#define ID_SCRIPT_SEL_WORD_RIGHT    37107
#define ID_SCRIPT_UP                37108
#define ID_SCRIPT_SEL_UP            37109
#define ID_SCRIPT_DOWN              37110
#define ID_SCRIPT_SEL_DOWN          37111
#define ID_SCRIPT_SCROLL_UP         37112
#define ID_SCRIPT_SCROLL_DOWN       37113
#define ID_SCRIPT_PAGE_UP           37114
#define ID_SCRIPT_SEL_PAGE_UP       37115
#define ID_SCRIPT_PAGE_DOWN         37116
#define ID_SCRIPT_SEL_PAGE_DOWN     37117
#define ID_SCRIPT_END               37118
#define ID_SCRIPT_SEL_END           37119
#define ID_SCRIPT_HOME              37120
#define ID_SCRIPT_SEL_HOME          37121
#define ID_SCRIPT_TEXT_START        37122
#define ID_SCRIPT_SEL_TEXT_START    37123
#define ID_SCRIPT_TEXT_END          37124
#define ID_SCRIPT_SEL_TEXT_END      37125
#define ID_EDIT_COPY                57634
#define ID_EDIT_CUT                 57635
#define ID_EDIT_PASTE               57637
#define ID_EDIT_SELECT_ALL          57642
#define ID_EDIT_UNDO                57643

// The export wizard: its dialog, side picture and pages
#define IDD_EXPORT                  179
#define IDD_EXPORT_CHOOSE           180
#define IDD_EXPORT_BIG_FILE         181
#define IDD_EXPORT_SMALL_FILES      182
#define IDD_EXPORT_COVERS           183
#define IDD_EXPORT_SMALL_SCRIPT     184
#define IDD_EXPORT_BIG_SCRIPT       185
#define IDD_EXPORT_SUMMARY          186
#define IDR_EXPORT_PICTURE          198     // type "JPEG"
#define IDC_EXPORT_TITLE            1002
#define IDC_EXPORT_PICTURE          1235
#define IDC_EXPORT_PAGE_AREA        1236
#define IDC_EXPORT_NEXT             1242
#define IDC_EXPORT_BACK             1243
#define IDC_EXPORT_ONE_BIG          1243
#define IDC_EXPORT_PER_MOVIE        1244
#define IDC_EXPORT_SAVE_COVERS      1245
#define IDC_EXPORT_TEMPLATES        1246
#define IDC_EXPORT_TEMPLATE_LIST    1247
#define IDC_EXPORT_FILE             1248
#define IDC_EXPORT_BROWSE           1086
#define IDC_EXPORT_FORMAT           1087
#define IDC_EXPORT_SORT             1107
#define IDC_EXPORT_ORDER            1108
#define IDC_EXPORT_USE_RANGE        1227
#define IDC_EXPORT_RANGE_FROM       1046
#define IDC_EXPORT_RANGE_TO         1045
#define IDC_EXPORT_FOLDER           1254
#define IDC_EXPORT_NAMED_BY         1041
#define IDC_EXPORT_EXTENSION        1044
#define IDC_EXPORT_COVER_FOLDER     1085
#define IDC_EXPORT_REPLACE_EMPTY    1090
#define IDC_EXPORT_SCRIPT           1082
#define IDC_EXPORT_LOAD_SCRIPT      1085
#define IDC_EXPORT_SAVE_SCRIPT      1081
#define IDC_EXPORT_SCRIPT_TABS      1252
#define IDC_EXPORT_SUMMARY          1257

// Internet settings and the download window
#define IDD_INTERNET_CONFIG         210
#define IDD_DOWNLOAD_STATUS         212
#define IDC_DOWNLOAD_STATUS         1257
#define IDC_DOWNLOAD_SPEED          1258
#define IDC_INET_USE_PROXY          1298
#define IDC_INET_SERVER             1299
#define IDC_INET_PORT               1300
#define IDC_INET_TYPE               1301
#define IDC_INET_MUST_LOGIN         1302
#define IDC_INET_LOGIN              1303
#define IDC_INET_PASSWORD           1304
#define IDC_INET_PROTOCOL           1305

#endif

// Icons of the drives tree, in the order of its image list.
#define IDI_TREE_CDROM                  140
#define IDI_TREE_FIXED                  165
#define IDI_TREE_NETWORK                166
#define IDI_TREE_FILE                   167

// File information (dialog and drives-view panel), re-reading a disc, adding
// files to a movie and editing a file's part number
#define IDD_FILE_INFO               138
#define IDD_ADD_FILE                141
#define IDD_FILE_INFO_PANEL         142
#define IDD_EDIT_FILE               159
#define IDD_REREAD_DISC             160
#define IDC_FILEINFO_CREATE_MOVIE   3
#define IDC_FILEINFO_REREAD         4
#define IDC_FILEINFO_EXTRA          1040
#define IDC_FILEINFO_NAME           1041
#define IDC_FILEINFO_SIZE           1042
#define IDC_FILEINFO_CREATED        1043
#define IDC_FILEINFO_TYPE           1044
#define IDC_FILEINFO_MOVIE          1045
#define IDC_FILEINFO_LABEL          1046
#define IDC_FILEINFO_SERIAL         1047
#define IDC_FILEINFO_NAME_LABEL     1051
#define IDC_FILEINFO_SIZE_LABEL     1052
#define IDC_FILEINFO_CREATED_LABEL  1053
#define IDC_FILEINFO_TYPE_LABEL     1054
#define IDC_FILEINFO_EXTRA_GROUP    1055
#define IDC_FILEINFO_MOVIE_LABEL    1056
#define IDC_FILEINFO_ICON           1148
#define IDC_FILEINFO_PLAY           1149
#define IDC_REREAD_PROMPT           1039
#define IDC_REREAD_ONLYINFO         1111
#define IDC_REREAD_READD            1112
#define IDC_EDITFILE_NAME           1041
#define IDC_EDITFILE_COUNT          1060
#define IDC_ADDFILE_INFO            1040
#define IDC_ADDFILE_TABS            1080
#define IDC_ADDFILE_GOOD            1103
#define IDC_ADDFILE_ALL             1104
#define IDC_ADDFILE_NEW             1148

// The movie information dialog, its four pages and the actor dialog
#define IDD_ACTOR                   133
#define IDD_MOVIE_MAIN              199
#define IDD_MOVIE_ACTORS            200
#define IDD_MOVIE_PLOT              201
#define IDD_MOVIE_FILES             202
#define IDD_MOVIE_INFO              203
#define IDC_MOVIEINFO_REMOVE        3
#define IDC_MOVIEINFO_TABS          1080
#define IDC_MOVIEINFO_SAVE          1081
#define IDC_MOVIEINFO_PAGE          1253
#define IDC_MAIN_TITLE              1002
#define IDC_MAIN_YEAR               1003
#define IDC_MAIN_DIRECTOR           1005
#define IDC_MAIN_ADDRESS            1009
#define IDC_MAIN_UPDATE             1010
#define IDC_MAIN_GENRE              1015
#define IDC_MAIN_COUNTRY            1019
#define IDC_MAIN_RUNTIME            1020
#define IDC_MAIN_ID                 1023
#define IDC_MAIN_WHAT_IS_IMDB       1024
#define IDC_MAIN_SEEN               1091
#define IDC_MAIN_LANGUAGE           1113
#define IDC_MAIN_SUBTITLES          1114
#define IDC_MAIN_HAS_SUBTITLES      1115
#define IDC_MAIN_GOTO               1142
#define IDC_MAIN_CHANGE_ID          1145
#define IDC_MAIN_RATE               1216
#define IDC_MAIN_RATE_TEXT          1217
#define IDC_MAIN_LOAN_TEXT          1258
#define IDC_MAIN_RETURNED           1259
#define IDC_MAIN_BORROWED           1261
#define IDC_PLOT_COMMENT            1016
#define IDC_PLOT_TAGLINE            1017
#define IDC_PLOT_OUTLINE            1018
#define IDC_ACTORS_REMOVE           3
#define IDC_ACTORS_LIST             1004
#define IDC_ACTORS_UP               1020
#define IDC_ACTORS_DOWN             1021
#define IDC_ACTORS_REMOVE_ALL       1022
#define IDC_ACTORS_EDIT             1082
#define IDC_ACTORS_ADD              1125
#define IDC_ACTORS_SHOW_IMDB        1142
#define IDC_ACTOR_NAME              1021
#define IDC_ACTOR_CHARACTER         1022
#define IDC_FILES_REMOVE            3
#define IDC_FILES_LIST              1011
#define IDC_FILES_INFO              1040
#define IDC_FILES_EDIT              1108
#define IDC_FILES_ADD               1125
#define IDC_FILES_TYPE              1284
#define IDC_FILES_MORE_INFO         1286
// Mass update of the site's details.
#define IDD_MASS_UPDATE_IMDB        146
#define IDC_MASS_ONLY               1064
#define IDC_MASS_LOG                1065
#define IDC_MASS_FORGET             1066
#define IDC_MASS_TOTAL              1067
#define IDC_MASS_SHOW               1069
#define IDC_MASS_WAIT               1070
#define IDC_MASS_CURRENT            1071
#define IDC_MASS_ASK                1072
#define IDC_MASS_COMMENT            1016
#define IDC_MASS_RATE               1216
#define IDC_MASS_ONLY_EMPTY         1279
// Making small covers (smallcovers.rc).
#define IDD_MAKE_SMALL_COVERS       214
#define IDC_SMALL_COVERS_PROGRESS   1067
