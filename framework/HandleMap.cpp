#include "framework/HandleMap.h"

void* (*g_handleTableRealloc)(void* block, std::size_t size) = std::realloc;
