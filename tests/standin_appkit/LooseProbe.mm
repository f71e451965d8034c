#include "ProbeOwner.h"

@implementation StandinLooseProbe
@end
