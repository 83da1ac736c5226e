#pragma once

// Resource ids, shared by the resource script and the code.
#define IDI_VARNEL 1
