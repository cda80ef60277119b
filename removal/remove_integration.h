// Gives back everything setup wrote into Windows.
#pragma once

void RemoveIntegration();
