// A log of the system calls a unit under test made, as short strings such as
// "SystemParametersInfoA(97,0)", so tests can assert order and arguments.
#pragma once

#include <string>
#include <vector>

void RecordCall(const std::string& call);
std::vector<std::string>& RecordedCalls();
void ClearRecordedCalls();
// Position of the first call at or after from that starts with prefix, or -1.
int FindCall(const std::string& prefix, int from = 0);
// A structure's size field as a call records it: "size" when it carries the
// structure's own size, which is what every build must pass, else the number.
std::string SizeField(unsigned long size, unsigned long ownSize);
// The calls that start with prefix, in order.
std::vector<std::string> CallsStartingWith(const std::string& prefix);
