// Where wine's capture endpoint volume keeps its level methods, as offsets into mmdevapi.dll.
#pragma once

#include <cstdint>
#include <string>

struct EndpointMethods {
  uint32_t setScalarRva = 0;  // IAudioEndpointVolume::SetMasterVolumeLevelScalar
  uint32_t getScalarRva = 0;  // IAudioEndpointVolume::GetMasterVolumeLevelScalar
};

// Activates the default capture endpoint's volume in this process and reads the two methods
// from its table. False, with the reason in `trouble`, if any step fails.
bool FindEndpointMethods(EndpointMethods& methods, std::string& trouble);
