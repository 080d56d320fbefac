// The capture endpoint, on Windows Vista and later. There the mixer's volume controls reach only
// this program's own audio session, while the endpoint's master volume is what every program's
// recording obeys. The endpoint of the configured device is found once, at the first switch of
// the run, and from then on held by its id: plugging a headset in or out renumbers the mixer
// devices and the wave inputs, but an endpoint keeps its id.
#pragma once

#include <windows.h>

#include <cstdint>

// Whether the level goes through the endpoint: Windows 6 (Vista) and later as the program sees
// it; a compatibility mode reports the older version.
bool UseEndpoint();

// Whether the endpoint of the run has been found.
bool EndpointChosen();

// Finds the endpoint of the run: that of the first wave input that belongs to mixer device
// `device`, and keeps its id. Returns the platform's code, 0 on success, and names the failing
// call in `call` as the error text shows it.
uint32_t ChooseEndpoint(UINT device, const char*& call);

// The id of the endpoint of the run; empty until it is chosen (endpoint_choice.cpp).
const wchar_t* EndpointOfRun();

// The endpoint's mute flag written after each level: set with a mute, cleared with any other
// level, put back as the user had it at start, or left as it is.
enum class MuteFlag { kClear, kSet, kAsAtStart, kLeave };

// The level of the endpoint of the run. Its volume is looked up by the id at the first read, and
// again whenever the volume held does not answer (the device went away since, and its objects
// may stay dead even once it is back); it is then held until ReleaseEndpoint. A switch asks the
// device's state first: in any state but active the device is away, nothing is read and the
// code is AUDCLNT_E_DEVICE_INVALIDATED with "activate()"; a restore reaches its stored settings
// wherever the system lets it. The first read of the run also reads the mute flag into
// EndpointMuteAtStart: set, it counts as the user's unless the level is 0, as a run of the tool
// ended while muted leaves the endpoint. Both return the platform's code and name the failing
// call, as ChooseEndpoint does.
uint32_t ReadEndpoint(uint32_t& level, bool restore, const char*& call);
// The level, then the mute flag, written in the run's own context: the tool's own writes are no
// news to it.
uint32_t WriteEndpoint(uint32_t level, MuteFlag flag, const char*& call);

// Whether the first read found the endpoint's mute flag set, whatever the level.
bool EndpointFoundMuted();

// The endpoint's mute flag as the device holds it now, read after a switch that failed: 1 set,
// 0 clear, or where it does not answer.
int32_t EndpointHoldsMute();

// The flag and the level a change made elsewhere reported, or the exit found: whatever differs
// from the tool's own was set by another program.
void NoteChangeElsewhere(bool muted, uint32_t level);

// Whether the flag is set now and is another program's: since the tool last wrote it, a change
// made elsewhere reported a flag other than the tool's. That mute is the user's, and the end of
// the run leaves it.
bool EndpointMutedElsewhere();

// Whether the tool's own write is the last change of the level: no change made elsewhere has
// reported another level since.
bool EndpointLevelOwn();

// From now on every change made to the endpoint by another program, and every change of its
// device's state, posts kEndpointNews to `window` (endpoint_news.h), through registrations for
// the endpoint's change notifications and the enumerator's device notifications, also on a volume
// or an enumerator looked up again later; nullptr ends that. A refused registration is no error:
// the window then learns of such changes at its next switch, as on the mixer.
void FollowEndpoint(HWND window);

// The endpoint as it is after news, read with what is held while it is followed: gone (its device
// is not active), or present with its mute flag and level (a volume that does not answer is
// looked up again by the id first, once). kNotKnown when it is not followed or does not answer.
enum class EndpointNow { kNotKnown, kGone, kPresent };
EndpointNow ReadFollowedEndpoint(bool deviceNews, bool& muted, uint32_t& level);

// At exit: the registrations, the volume and the device enumerator kept from the first switch.
void ReleaseEndpoint();
