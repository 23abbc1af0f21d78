#include "Tavrel/Tasks/Tasks.h"

namespace Tavrel::Tasks {

void ListApplications(Json::CJsonValueHolder& /*response*/) {}

}  // namespace Tavrel::Tasks
