// String-table ids of the shell subsystem.
#pragma once
