# Tests of the small dialogs.
