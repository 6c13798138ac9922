// String-table ids of the connection and device-command front end.
#pragma once
