#include "support/recorder.h"

static std::vector<std::string> calls;

void RecordCall(const std::string& call) { calls.push_back(call); }
std::vector<std::string>& RecordedCalls() { return calls; }
void ClearRecordedCalls() { calls.clear(); }

int FindCall(const std::string& prefix, int from) {
  for (int i = from < 0 ? 0 : from; i < (int)calls.size(); ++i)
    if (calls[i].compare(0, prefix.size(), prefix) == 0) return i;
  return -1;
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
