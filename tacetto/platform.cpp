#include "tacetto/platform.h"

namespace {
ConfigFile* g_file = nullptr;
Mixer* g_mixer = nullptr;
Keyboard* g_keyboard = nullptr;
CaptureEndpoints* g_endpoints = nullptr;
}  // namespace

ConfigFile& File() {
  return *g_file;
}
Mixer& MixerDevice() {
  return *g_mixer;
}
Keyboard& Keys() {
  return *g_keyboard;
}
CaptureEndpoints& Endpoints() {
  return *g_endpoints;
}

void InstallPlatform(ConfigFile* file, Mixer* mixer, Keyboard* keyboard,
                     CaptureEndpoints* endpoints) {
  g_file = file;
  g_mixer = mixer;
  g_keyboard = keyboard;
  g_endpoints = endpoints;
}
