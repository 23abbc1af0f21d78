// The task bodies that Interface_FastCall_CallFunc runs.
#pragma once

#include "Tavrel/Json/CJsonValueHolder.h"

namespace Tavrel::Tasks {

// Task 0: asks the applications of the request's stop list to close.
void StopApplications(Json::CJsonValueHolder& request);
// Task 1: answers the current user's Start Menu applications.
void ListApplications(Json::CJsonValueHolder& response);

}  // namespace Tavrel::Tasks
