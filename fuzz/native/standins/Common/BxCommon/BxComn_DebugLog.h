// Native stand-in for the common library's debug log (first on the include
// path): the plug-in never switches the log on, so a trace writes nothing.
#pragma once

#define BXDBG_TRACE(...) ((void)0)
