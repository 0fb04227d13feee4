#include "lock_groups.h"

#include "random_generator.h"

LockerChoice NextSound(LockerChoice choice) {
    if (++choice.program > Slots::ProgramsPerBank) {
        choice.program = 1;
        choice.bank = choice.bank % Slots::BankCount + 1;
    }
    return choice;
}

LockerChoice PreviousSound(LockerChoice choice) {
    if (--choice.program < 1) {
        choice.program = Slots::ProgramsPerBank;
        choice.bank = choice.bank == 1 ? Slots::BankCount : choice.bank - 1;
    }
    return choice;
}

LockerChoice RandomSound(RandomGenerator& generator) {
    LockerChoice choice;
    choice.program = static_cast<int>(generator.Random(Slots::ProgramsPerBank)) + 1;
    choice.bank = static_cast<int>(generator.Random(Slots::BankCount)) + 1;
    return choice;
}
