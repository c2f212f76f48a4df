// The settings store: a few named values under one per-user registry key, read
// with defaults that are written back, so every setting in use ends up stored.
#pragma once

#include "platform.h"

extern const char SettingsKeyPath[];

// The value names, with their defaults next to them so every caller agrees.
extern const char MusicSetting[];          // DWORD, default 1
extern const char SoundSetting[];          // DWORD, default 1
extern const char DisplayWidthSetting[];   // DWORD, default 640
extern const char DisplayHeightSetting[];  // DWORD, default 480
extern const char DisplayBppSetting[];     // DWORD, default 16
extern const char UseNullDriverSetting[];  // DWORD, default 1
extern const char DriverGuidSetting[];     // 16 bytes, default all zero
extern const char DeviceGuidSetting[];     // 16 bytes, default the HAL device
const DWORD DefaultMusic = 1;
const DWORD DefaultSound = 1;
const DWORD DefaultDisplayWidth = 640;
const DWORD DefaultDisplayHeight = 480;
const DWORD DefaultDisplayBpp = 16;
const DWORD DefaultUseNullDriver = 1;
extern const GUID DefaultDriverGuid;
extern const GUID DefaultDeviceGuid;

// Each returns 1 when the key could be opened or created, else 0; a read that
// returns 0 hands back the default.
int ReadDwordSetting(const char* name, DWORD* out, const DWORD* defaultValue);
int ReadGuidSetting(const char* name, void* out, const void* defaultValue);
int WriteDwordSetting(const char* name, const DWORD* value);
int WriteGuidSetting(const char* name, const void* value);

// The options dialog (dialog resource 200), modal over parent; 0 when there is
// no parent, and it then centres itself on the screen.
void ShowConfigDialog(HINSTANCE instance, HWND parent);
