// A log of the system calls a unit under test made, as short strings such as
// "SystemParametersInfoA(97,0)", so tests can assert order and arguments.
#pragma once

#include <ostream>
#include <string>
#include <vector>

void RecordCall(const std::string& call);
std::vector<std::string>& RecordedCalls();
void ClearRecordedCalls();
// Whether a call starting with prefix was made.
bool CallMade(const std::string& prefix);
// Where a call stands in the log. A call that was never made stands nowhere
// (index -1), and no comparison with that place holds, so an ordering whose
// anchor is missing cannot pass.
struct CallPlace {
  int index;
};
bool operator<(CallPlace a, CallPlace b);
bool operator>(CallPlace a, CallPlace b);
bool operator<=(CallPlace a, CallPlace b);
bool operator>=(CallPlace a, CallPlace b);
std::ostream& operator<<(std::ostream& out, CallPlace place);
// The first call at or after from that starts with prefix. The test fails when
// there is none: a test asks where a call is only when it must be there.
CallPlace FindCall(const std::string& prefix, CallPlace from = {0});
// A structure's size field as a call records it: "size" when it carries the
// structure's own size, which is what every build must pass, else the number.
std::string SizeField(unsigned long size, unsigned long ownSize);
// The calls that start with prefix, in order.
std::vector<std::string> CallsStartingWith(const std::string& prefix);
