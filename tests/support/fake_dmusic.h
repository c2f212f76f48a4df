// Recording stand-ins for the DirectMusic interfaces of port/dmusic/dmusic.h: every
// call is logged (support/recorder.h) as "Object.Method(args)" with objects by
// name ("performance", "loader", "segment#2", "collection#1", "message#3"),
// results can be made to fail per method, and notifications can be queued.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform.h"
#include "support/recorder.h"

struct FakeMusicObject {
  std::string name;
  ULONG refs = 1;
  virtual ~FakeMusicObject() = default;
};

struct FakeNotification {
  GUID type;
  DWORD option;
};

struct FakeDirectMusic {
  // Results to give instead of success, keyed "Object.Method", e.g.
  // "Performance.AddPort"; GetObject is keyed by class ("Loader.GetObject(Segment)")
  // and SetParam by parameter ("Segment.SetParam(GUID_Download)").
  std::map<std::string, HRESULT> failures;
  // What GetNotificationPMsg hands out, first to last; S_FALSE once empty.
  std::deque<FakeNotification> notifications;
  // Every object description GetObject was given, in order.
  std::vector<DMUS_OBJECTDESC> descriptions;
  // Every object ever made, with its reference count.
  std::vector<std::unique_ptr<FakeMusicObject>> objects;
  int messagesOut = 0;  // handed out and not yet freed
};

extern FakeDirectMusic fakeDirectMusic;

// Fresh state: no failures, no notifications, no objects.
void ResetFakeDirectMusic();
// What CoCreateInstance hands out for CLSID_DirectMusicPerformance and CLSID_DirectMusicLoader.
HRESULT CreateFakeDirectMusicPerformance(REFIID iid, void** object);
HRESULT CreateFakeDirectMusicLoader(REFIID iid, void** object);
// The name of a fake music object, or "null".
std::string FakeMusicName(const void* object);
// Objects still holding references, by name.
std::vector<std::string> LiveFakeMusicObjects();
// Calls to DirectMusic objects (and their creation) in the log so far.
std::vector<std::string> DirectMusicCalls();
