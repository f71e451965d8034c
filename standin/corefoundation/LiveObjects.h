// Test hook of the CoreFoundation stand-in: how many objects exist right now.
// Tests compare it before and after an operation to show that everything the
// operation made was released.
#pragma once

long CFStandinLiveObjectCount();
