// String-table ids. Ids quoted by the program's documents keep their numbers;
// the others are assigned per subsystem:
//   link 61000-61499, link front end (connection, device commands) 61500-61999, imaging 62000-62999, batch 63000-63999,
//   shell 64000-64999, cli 65000-65999, screens 66000-66999, checks of outputs, slots and ports 67000-67099.
#pragma once

#include "res/ids_link.h"
#include "res/ids_decoder.h"
#include "res/ids_frontend.h"
#include "res/ids_imaging.h"
#include "res/ids_batch.h"
#include "res/ids_shell.h"
#include "res/ids_cli.h"
#include "res/ids_ports.h"
#include "res/ids_checks.h"
