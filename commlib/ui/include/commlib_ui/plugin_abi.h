/* The plain C boundary between libcommlib.so and its dialog plugin
 * libcommlib_ui.so. commlib never links Qt: it dlopens the plugin on first use
 * and reaches it only through this table, so no C++ type or exception crosses. */
#ifndef COMMLIB_UI_PLUGIN_ABI_H
#define COMMLIB_UI_PLUGIN_ABI_H

#ifdef __cplusplus
extern "C" {
#endif

#define COMMLIB_UI_ABI_VERSION 1u
#define COMMLIB_UI_TEXT_SIZE 260 /* 259 characters and the terminator */
#define COMMLIB_UI_ENTRY "CommlibUiInterface"

/* The serial port settings as the port dialog edits them. */
typedef struct CommlibUiPort {
    char Port[COMMLIB_UI_TEXT_SIZE];
    int Speed;
    int Parity;   /* 0 none, 1 odd, 2 even */
    int XControl; /* 0 off, 1 XON/XOFF */
} CommlibUiPort;

/* The PC buffer settings as the buffer dialog edits them. */
typedef struct CommlibUiBuffer {
    char Folder[COMMLIB_UI_TEXT_SIZE];
    int MaxBlocks;
    unsigned char Warn;
    unsigned char Ring;
} CommlibUiBuffer;

/* All three run modally on the caller's (GUI) thread. The dialogs answer
 * 1 OK (record updated), 0 Cancel (record untouched), -1 when they cannot be
 * shown (no running QApplication). The prompt answers 1 OK, 0 Cancel, and 0
 * when it cannot be shown. */
typedef struct CommlibUiApi {
    unsigned size;    /* sizeof(CommlibUiApi) of the plugin */
    unsigned version; /* COMMLIB_UI_ABI_VERSION */
    int (*portSettingDialog)(CommlibUiPort* settings);
    int (*bufferSettingDialog)(CommlibUiBuffer* settings);
    int (*folderPrompt)(const char* caption);
} CommlibUiApi;

/* The one export of libcommlib_ui.so; the table lives as long as the plugin. */
typedef const CommlibUiApi* (*CommlibUiEntryFn)(void);

#ifdef __cplusplus
}
#endif
#endif
