#pragma once

// Every user command by its number. The numbers are those of the ribbon's description, so a
// control, a tool bar entry and a handler row agree on one value.
enum CommandId : int {
    ID_CAPTION_BAR_OPTIONS = 220, // the caption bar's button "选项..."
    ID_VIEW_CAPTION_BAR = 221,
    ID_VIEW_APPLOOK_OFF_2007_BLUE = 215,
    ID_VIEW_APPLOOK_OFF_2007_BLACK = 216,
    ID_VIEW_APPLOOK_OFF_2007_SILVER = 217,
    ID_VIEW_APPLOOK_OFF_2007_AQUA = 218,
    ID_VIEW_APPLOOK_WINDOWS_7 = 219,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_VIEW_STATUS_BAR = 59393,
    // The framework's edit commands, offered in the workspace view's right-button menu.
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,

    // 照相机
    ID_BUTTON_CAM_MANGER = 32775,
    ID_BUTTON_IMAGE_SIZE = 32786,
    ID_BUTTON_SIZE1 = 32787,
    ID_BUTTON_SIZE2 = 32788,
    ID_BUTTON_SIZE3 = 32789,
    ID_BUTTON_SIZE_FIT = 33001, // not on the ribbon: commands of our own are numbered from 33000
    ID_BUTTON_LOOGO = 32852,
    // 拍照
    ID_BUTTON_PHOTO_CLICK = 32853,
    ID_BUTTON_PHOTO_DELAY = 32779,
    ID_BUTTON_TIME_SET = 32851,
    // 色彩
    ID_SLIDER_B0 = 32876,
    ID_SLIDER_B1 = 32877,
    ID_SLIDER_B2 = 32878,
    ID_SLIDER_C0 = 32879,
    ID_SLIDER_C1 = 32880,
    ID_SLIDER_C2 = 32870,
    ID_BUTTON_DEFUALT_COLOR = 32881,
    ID_CHECK_RGB = 32872,
    ID_CHECK_YCRCB = 32873,
    ID_CHECK_HLS = 32874,
    ID_CHECK_HSV = 32875,
    // 炫彩风格
    ID_BUTTON_BLACKWHITE = 32854,
    ID_BUTTON_INVERT = 32855,
    ID_BUTTON_ERODE = 32857,
    ID_BUTTON_SKETCH = 32858,
    ID_BUTTON_GRAIN = 32859,
    ID_BUTTON_SMOOTH_SKETCH = 32860,
    // ROI关键区域
    ID_BUTTON_ROI = 32829,
    ID_BUTTON_CANCEL_ROI = 32830,
    ID_BUTTON_EFFECT_ROI = 32831,
    ID_BUTTON_DEFUALT_EFFECT = 32832,
    // 图像翻转
    ID_BUTTON_H_FLIP = 32800,
    ID_BUTTON_V_FLIP = 32801,
    ID_BUTTON_HV_FLIP = 32802,
    // 光流互动
    ID_BUTTON_LIGHTFLOW_AUTO = 32803,
    ID_BUTTON_LIGHTFLOW_MANUAL = 32804,
    ID_BUTTON_ESC_LIGHTFLOW = 32807,
    ID_BUTTON_FLOW_COLOR = 32811,
    ID_BUTTON_LIGHTFLOW_NIGHT = 32885,
    // 挥毫泼墨
    ID_BUTTON_PAINT_CLEAR = 32776,
    ID_BUTTON_PAINT_SET = 32826,
    ID_BUTTON_MOUSE_PAINT = 32883,
    ID_BUTTON_PAINT_COLOR = 32886,
    ID_BUTTON_PAINT_HIDE = 32892,
    ID_BUTTON_PEN_WIDETH = 32893,
    // 大相框设置
    ID_BUTTON_FRAME_SHOWIF = 32838,
    ID_BUTTON_FRAME_TYPE = 32841,
    ID_BUTTON_FRAME_GIF = 32842,
    ID_BUTTON_FRAME_PNG = 32843,
    // 小挂件设置
    ID_BUTTON_ADDON_SHOWIF = 32839,
    ID_BUTTON_CLEAR_ADDON = 32840,
    ID_BUTTON_ADD_ON_TYPE = 32847,
    ID_BUTTON_ADD_ON_GIF = 32848,
    ID_BUTTON_ADD_ON_PNG = 32849,
    ID_BUTTON_DRAG_ADD_ON = 32882,
    // 文件存储设置
    ID_BUTTON_PHOTO_DIR = 32817,
    ID_BUTTON_OPEN_PHOTO_DIR = 32818,
    ID_BUTTON_OPEN_FRAME = 32819,
    ID_BUTTON_FRAME_DIR = 32820,
    ID_BUTTON_OPEN_ADD_ON_DIR = 32833,
    ID_BUTTON_ADD_ON_DIR = 32834,
    // 帮助
    ID_BUTTON_ABOUT = 32809,
    ID_SYSLINK_MY_WEB = 32816,
    ID_BUTTON_DOC = 32899,

    // Commands of our own, numbered from 33000 (33001 is the fitted display size above).
    ID_PHOTO_NOW = 33002,        // a photo at once (Space)
    ID_VIEW_FULL_SCREEN = 33003, // the picture alone on the whole screen (F11)
    ID_ESCAPE = 33004,           // leaves full screen, cancels a region being selected (Esc)
    ID_SOUND = 33060,            // the shutter and countdown sounds on or off, remembered
    ID_VIEW_RIBBON_FOLD = 33005, // folds the ribbon to its tabs and back (Ctrl+F1)
    // Recording (the "录像" panel)
    ID_RECORD_VIDEO = 33010,
    ID_RECORD_GIF = 33011,
    ID_GIF_SECONDS_2 = 33012,
    ID_GIF_SECONDS_3 = 33013,
    ID_GIF_SECONDS_5 = 33014,
    ID_BURST_STRIP = 33015,
    // 语言: the interface language, remembered
    ID_LANGUAGE_CHINESE = 33030,
    ID_LANGUAGE_ENGLISH = 33031,
    // 照相机: which camera, at which size, from its next start
    ID_BUTTON_CAMERA_CHOICE = 33032,
    ID_BUTTON_CAMERA_SETTINGS = 33033, // the camera's own controls, at once
    // Stickers that follow faces
    ID_FACE_STICKERS = 33020,
    ID_FACE_BOXES = 33021, // off the ribbon: a look at what the detector finds
    // The photos strip's menu, acting on the file under it
    ID_PHOTO_OPEN = 33040,
    ID_PHOTO_OPEN_FOLDER = 33041,
    ID_PHOTO_COPY = 33042,
    ID_PHOTO_DELETE = 33043,
    ID_PHOTO_VIEW = 33044, // in the program's own viewer (a double-click on the file)
    // A frame or an add-on picked in the side pane's strips
    ID_PICK_FRAME = 33050,
    ID_PICK_ADD_ON = 33051,
    // The document's tab again after it was closed
    ID_OPEN_DOCUMENT = 33080,
    // One decoration off the picture: the add-on under the mouse (or the last one held), the frame
    ID_REMOVE_ADD_ON = 33081,
    ID_REMOVE_FRAME = 33082,
    // 背景: the person before another picture or the blurred room
    ID_BACKDROP_REPLACE = 33090,
    ID_BACKDROP_LEARN = 33091,       // learns the empty room
    ID_BACKDROP_CLOTH = 33092,       // a coloured cloth instead of the learnt room (split button)
    ID_BACKDROP_CLOTH_GREEN = 33093,
    ID_BACKDROP_CLOTH_BLUE = 33094,
    ID_BACKDROP_CLOTH_PICK = 33095,  // the next click on the picture takes the cloth's colour
    ID_BACKDROP_BLUR = 33096,
    ID_BACKDROP_GALLERY = 33097,     // the backdrop pictures
    ID_BACKDROP_FOLDER = 33098,      // chooses the folder of the user's backdrops
    ID_BACKDROP_OPEN_FOLDER = 33099, // shows that folder in the file manager
    // 趣味特效: one fun effect or none (33100 + its FunEffect number), the gallery, the preview grid
    ID_FUN_NONE = 33100,
    ID_FUN_BULGE = 33101,
    ID_FUN_PINCH = 33102,
    ID_FUN_TWIRL = 33103,
    ID_FUN_STRETCH = 33104,
    ID_FUN_SQUEEZE = 33105,
    ID_FUN_FISH_EYE = 33106,
    ID_FUN_MIRROR = 33107,
    ID_FUN_KALEIDOSCOPE = 33108,
    ID_FUN_LIGHT_TUNNEL = 33109,
    ID_FUN_BIG_HEAD = 33110,
    ID_FUN_THIN_FACE = 33111,
    ID_FUN_THERMAL = 33112,
    ID_FUN_X_RAY = 33113,
    ID_FUN_COMIC = 33114,
    ID_FUN_POP = 33115,
    ID_FUN_MOSAIC = 33116,
    ID_FUN_OLD_FILM = 33117,
    ID_FUN_GALLERY = 33120,
    ID_FUN_PREVIEW = 33121,
    ID_FUN_PAGE_BACK = 33122,
    ID_FUN_PAGE_NEXT = 33123,
    // 挥毫泼墨: the newest stroke (or clear) taken back
    ID_PAINT_UNDO = 33130,
    // The side pane hidden, the picture taking its room, and back
    ID_VIEW_SIDE_PANE = 33131,
    // The photo viewer's own commands (the file it shows is copied, deleted, opened by the
    // photos' commands above)
    ID_VIEWER_PREVIOUS = 33140,
    ID_VIEWER_NEXT = 33141,
    ID_VIEWER_PLAY = 33142,
    ID_VIEWER_CLOSE = 33143,
};
