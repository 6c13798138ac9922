// String-table ids of the cli subsystem.
#pragma once
