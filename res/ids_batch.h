// String-table ids of the batch subsystem.
#pragma once
