#include "hw/devices.h"

#include "core/register_area.h"
#include "cpu/end_check.h"
#include "hw/ai.h"
#include "hw/dp.h"
#include "hw/mem_actions.h"
#include "hw/mi.h"
#include "hw/pi.h"
#include "hw/si.h"
#include "hw/sp.h"
#include "hw/vi.h"

void connectDevices() {
    clearRegisterHandlers();
    installSpRegisters();
    installDpRegisters();
    installMiRegisters();
    installViRegisters();
    installAiRegisters();
    installPiRegisters();
    installSiRegisters();
    setEndCheckRoutine(&processMemActions);
}
