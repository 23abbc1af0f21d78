// The host's commands. Each returns the process exit status and throws
// HostError for failures that get one line and status 2.
#pragma once

#include <string>
#include <vector>

namespace TavrelHost {

using Arguments = std::vector<std::wstring>;

int RunHelp();
int RunVersion();
// call '<json>' | call --file PATH | call -
int RunCall(const Arguments& arguments);
// stop --pid N --path P [--pid N --path P ...]
int RunStop(const Arguments& arguments);
// list [--json]
int RunList(const Arguments& arguments);
// explain [--json] PATH...
int RunExplain(const Arguments& arguments);
// exceptions add PATH | list | remove PATH
int RunExceptions(const Arguments& arguments);
// product-path [PATH]
int RunProductPath(const Arguments& arguments);

}  // namespace TavrelHost
