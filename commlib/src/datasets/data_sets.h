// The six data sets that the engine creates after identification.
#pragma once
#include "datasets/info_set.h"
#include "datasets/program_set.h"
#include "datasets/screen_set.h"
#include "datasets/setup_set.h"
#include "datasets/table3_set.h"
#include "datasets/table_set.h"
