// What the director and its scenes share inside the show folder.
#pragma once

#include "show/show.h"

// One function per phase: draws the whole picture, then tests its own end.
void PlaySignFade();
void PlayBulbTitle();
void PlayBulbZoom();
void PlayHeadlineFlyIn();
void PlayHeadlineJolt();
void PlayHeadlineFlyOut();
void PlayBulletTyping();
void PlayBulletHold();
void PlayBulletSpin();

// Leaves the current phase for the one that follows it, with that change's resets.
void AdvancePhase();
// Starts the phase clock again from a fresh timer reading, phase unchanged.
void RestartPhaseClock();

// Milliseconds since the phase began (t) and since the previous frame (d).
DWORD PhaseTime();
DWORD FrameTime();

// A colour channel computed from a real number: truncated toward zero, low 8 bits.
DWORD LowByte(double value);
// The grey 0xFF000000 + g * 0x010101.
D3DCOLOR Grey(DWORD g);
// The fade value of the fly-out and the spin, trunc(t * 0.092727) held at 255.
DWORD FadeStep(DWORD t);
