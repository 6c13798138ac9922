// What every program of the tool does before it creates its application
// object.
#pragma once

// Qt looks for its runtime folder while it chooses the platform, and warns on
// standard error whenever XDG_RUNTIME_DIR is unset (cron, root shells,
// containers, CI). Nothing of the tool lives there (the virtual port folder
// is chosen without it), so that warning is switched off.
void QuietQtRuntimeDirWarning();
