#pragma once
// Resource identifiers of the launcher's artwork, shared by the resource
// script and the code that loads them.
#define IDB_WAIT_BACKGROUND 201
