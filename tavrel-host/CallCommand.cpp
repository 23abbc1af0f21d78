#include "tavrel-host/Commands.h"
#include "tavrel-host/Console.h"
#include "tavrel-host/HostError.h"
#include "tavrel-host/HostSession.h"
#include "tavrel-host/JsonText.h"

namespace TavrelHost {
namespace {

std::string RequestBytes(const Arguments& arguments) {
    if (arguments.size() == 1 && arguments[0] == L"-") return ReadStandardInput();
    if (arguments.size() == 2 && arguments[0] == L"--file") return ReadWholeFile(arguments[1]);
    if (arguments.size() == 1 && arguments[0].rfind(L"--", 0) != 0) return ToUtf8(arguments[0]);
    throw HostError(L"call takes one request: '<json>', --file PATH or - (standard input)");
}

}  // namespace

int RunCall(const Arguments& arguments) {
    std::string request = RequestBytes(arguments);
    CheckJsonText(request, L"request");
    HostSession session;
    WriteOut(PrettyJson(session.Send(FromUtf8(request))) + L"\n");
    return 0;
}

}  // namespace TavrelHost
