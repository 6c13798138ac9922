// String-table ids of the imaging subsystem.
#pragma once
