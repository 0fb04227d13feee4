# Tests of moving sounds between slots.
