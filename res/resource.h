// Resource ids shared by quimbara.rc and the program.
#pragma once

#define IDI_QUIMBARA 200
