// The PIF: the guest's controller commands in PIF RAM and their answers.
#pragma once

// Asks every enabled controller slot's plug-in for its current input.
void pollControllers();
// Answers the command block the guest wrote to pifRamIn into pifRamOut.
void processPifCommands();
