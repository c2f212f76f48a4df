#include "support/recorder.h"

#include <gtest/gtest.h>

static std::vector<std::string> calls;

void RecordCall(const std::string& call) { calls.push_back(call); }
std::vector<std::string>& RecordedCalls() { return calls; }
void ClearRecordedCalls() { calls.clear(); }

static int FirstCall(const std::string& prefix, int from) {
  for (int i = from; i < (int)calls.size(); ++i)
    if (calls[i].compare(0, prefix.size(), prefix) == 0) return i;
  return -1;
}

bool CallMade(const std::string& prefix) { return FirstCall(prefix, 0) >= 0; }

static bool BothMade(CallPlace a, CallPlace b) { return a.index >= 0 && b.index >= 0; }
bool operator<(CallPlace a, CallPlace b) { return BothMade(a, b) && a.index < b.index; }
bool operator>(CallPlace a, CallPlace b) { return BothMade(a, b) && a.index > b.index; }
bool operator<=(CallPlace a, CallPlace b) { return BothMade(a, b) && a.index <= b.index; }
bool operator>=(CallPlace a, CallPlace b) { return BothMade(a, b) && a.index >= b.index; }
std::ostream& operator<<(std::ostream& out, CallPlace place) {
  return place.index < 0 ? out << "never made" : out << "call " << place.index;
}

// An anchor that is missing has already failed the test; what is looked for
// after it is missing too, without a second failure.
CallPlace FindCall(const std::string& prefix, CallPlace from) {
  if (from.index < 0) return {-1};
  int found = FirstCall(prefix, from.index);
  if (found < 0)
    ADD_FAILURE() << "no call " << prefix << (from.index ? " after call " + std::to_string(from.index) : "");
  return {found};
}

std::vector<std::string> CallsStartingWith(const std::string& prefix) {
  std::vector<std::string> found;
  for (auto& c : calls)
    if (c.compare(0, prefix.size(), prefix) == 0) found.push_back(c);
  return found;
}

std::string SizeField(unsigned long size, unsigned long ownSize) {
  return size == ownSize ? "size" : std::to_string(size);
}
