// The web port's face to itself: the page around the canvas the show is drawn
// on. The page (page/glimmerz.js) holds the show at its first frame under the
// Start button, takes it full screen, and brings the button back when the show
// has ended; the port's files reach it through these calls.
#pragma once

#include <cstdint>

// The page's canvas; every top-level window of the program draws on it.
extern const char* const WebCanvas;

// Called once each frame has been drawn: waits for the page's next frame, and
// before the visitor has pressed Start keeps the show (and its clock) on that
// first frame.
void WebAwaitNextFrame();
// True while the show is held under the button: input then belongs to the page.
bool WebShowHeld();
// The show has closed: the page leaves full screen and shows the button again.
// A show that closed before its first frame could not start: the page says so
// in one sentence instead, and the answer is false.
bool WebNoteShowEnded();
// True once the visitor has left full screen by the browser's own means (the
// Escape key never reaches the page then), which ends the show like a key.
bool WebFullScreenLeft();
// Sleeps up to ms milliseconds, letting the page's events in.
void WebSleep(int ms);

// Listens to the page's input, which becomes the saver window's messages
// (web_events.cpp).
void WebListenToInput();
