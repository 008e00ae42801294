// Connects the subsystems' hand-offs; shared by the program and the screenshot tool.
#pragma once

void wireSubsystems();
