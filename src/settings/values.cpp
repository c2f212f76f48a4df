#include "settings/settings.h"

const char SettingsKeyPath[] = "Software\\Vantorel\\Glimmerz";

const char MusicSetting[] = "music";
const char SoundSetting[] = "sound";
const char DisplayWidthSetting[] = "displaywidth";
const char DisplayHeightSetting[] = "displayheight";
const char DisplayBppSetting[] = "displaybpp";
const char UseNullDriverSetting[] = "UseNULLddguid";
const char DriverGuidSetting[] = "ddguid";
const char DeviceGuidSetting[] = "deviceguid";

const GUID DefaultDriverGuid = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
// The Direct3D hardware device.
const GUID DefaultDeviceGuid = {0x84E63DE0, 0x46AA, 0x11CF, {0x81, 0x6F, 0x00, 0x00, 0xC0, 0x20, 0x15, 0x6E}};
