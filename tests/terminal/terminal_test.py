#!/usr/bin/python3
"""Drives the built dice executable in a pseudo-terminal, as a user at a keyboard would.

Usage: terminal_test.py PATH_TO_DICE [TEST_NAME...]

Each test starts a shell of its own on a fresh 80x24 pseudo-terminal, types the program's
command line at it, and reads what the program wrote both as a byte stream and as the
screen a terminal would show (an emulated one). Nothing here needs a terminal of its own:
the pseudo-terminals are made by the tests. Every wait has a deadline, so a program that
hangs fails the test instead of stalling the run.

The shell is dash where the terminal's modes are checked: it never changes them itself, so
`stty -g` after the program shows exactly what the program left behind. bash is used where
a shell that does change the modes for its own line editing is the point.
"""

import os
import re
import shutil
import sys
import tempfile
import time
import unittest

import pexpect
import pyte

COLUMNS, LINES = 80, 24
# Longest wait for anything the program or the shell should show.
DEADLINE = 10.0
# How long the program must stay silent to count as waiting for the user.
QUIET = 0.6
SHELL_PROMPT = "READY> "
PAUSE_PROMPT = "Press any key to continue . . . "
MENU_PROMPT = " Please enter a number (1-8) "
ANOTHER_CHOICE = "Would You Like To Make Another Choice? "

DICE = None  # set from the command line
PROGRAM = "./dice"


class Terminal:
    """A shell on a pseudo-terminal, its screen, and everything it wrote."""

    def __init__(self, test, shell="dash", environment=None):
        self.test = test
        self.directory = tempfile.mkdtemp(prefix="dice-terminal-")
        env = {
            "PATH": "/usr/bin:/bin",
            "HOME": self.directory,
            "TERM": "xterm",
            "LANG": "C.UTF-8",
            "PS1": SHELL_PROMPT,
        }
        env.update(environment or {})
        # A short command line, which no shell's line editor has to wrap.
        os.symlink(DICE, os.path.join(self.directory, "dice"))
        # Plain line editing: no bracketed-paste sequences around bash's prompt.
        with open(os.path.join(self.directory, "inputrc"), "w") as inputrc:
            inputrc.write("set enable-bracketed-paste off\n")
        env["INPUTRC"] = os.path.join(self.directory, "inputrc")
        if shell == "dash":
            command, arguments = "/usr/bin/dash", ["-i"]
        else:
            command, arguments = "/bin/bash", ["--norc", "--noprofile", "-i"]
        self.child = pexpect.spawn(command, arguments, env=env, cwd=self.directory,
                                   dimensions=(LINES, COLUMNS))
        self.screen = pyte.Screen(COLUMNS, LINES)
        self.stream = pyte.ByteStream(self.screen)
        self.log = bytearray()
        self.mark = 0
        self.wait_for(lambda: self.since_mark().endswith(SHELL_PROMPT.encode()), "the shell's prompt")

    def close(self):
        self.child.close(force=True)
        shutil.rmtree(self.directory, ignore_errors=True)

    # Reading -------------------------------------------------------------------------

    def pump(self, timeout):
        try:
            data = self.child.read_nonblocking(65536, timeout=timeout)
        except pexpect.TIMEOUT:
            return False
        except pexpect.EOF:
            time.sleep(timeout)
            return False
        self.log += data
        self.stream.feed(data)
        return True

    def since_mark(self):
        return bytes(self.log[self.mark:])

    def wait_for(self, condition, what):
        deadline = time.monotonic() + DEADLINE
        while not condition():
            if time.monotonic() > deadline:
                self.test.fail(f"gave up waiting for {what}\n{self.dump()}")
            self.pump(0.05)

    def wait_for_text(self, text, what=None):
        self.wait_for(lambda: text.encode() in self.since_mark(), what or repr(text))

    def assert_quiet(self, what):
        """Nothing at all is written for a while: the program is waiting for the user."""
        before = len(self.log)
        deadline = time.monotonic() + QUIET
        while time.monotonic() < deadline:
            self.pump(0.05)
        self.test.assertEqual(bytes(self.log[before:]), b"", f"{what}: should wait, but wrote")

    # Typing --------------------------------------------------------------------------

    def type(self, keys):
        """Sends the bytes of key presses; what comes after this belongs to them."""
        self.pump(0)
        self.mark = len(self.log)
        self.child.send(keys.encode("latin-1") if isinstance(keys, str) else keys)

    def run(self, command_line):
        self.type(command_line + "\r")
        self.wait_for_text(command_line + "\r\n", "the shell to take the command")

    def stty(self):
        """The terminal's modes as `stty -g` prints them. The marker after them is split by
        quotes so that the echo of the typed command never matches it; with echo off (a
        program that left the terminal so) the command is not shown, and its output still is."""
        self.type('stty -g; echo @@"END"\r')
        found = re.compile(rb"(?:^|\n)([0-9a-f:]+)\r\n@@END\r\n")
        self.wait_for(lambda: found.search(self.since_mark()), "the output of stty -g")
        self.wait_for_shell()
        return found.search(self.since_mark()).group(1).decode()

    def fg(self):
        """Brings the stopped or background program back; the shell names it first."""
        self.run("fg")
        self.wait_for(lambda: re.search(rb"fg\r\n(.*\r\n)?\S*" + re.escape(PROGRAM.encode()) + rb"\s*\r\n",
                                        self.since_mark()), "fg to name the job")

    def wait_for_shell(self):
        """The program has ended: the shell's prompt stands after what was typed last."""
        self.wait_for(lambda: self.since_mark().endswith(SHELL_PROMPT.encode()), "the program to end")

    def exit_status(self):
        self.type('echo @@"STATUS" $?\r')
        self.wait_for(lambda: re.search(rb"@@STATUS (\d+)\r\n", self.since_mark()), "the exit status")
        status = int(re.search(rb"@@STATUS (\d+)\r\n", self.since_mark()).group(1))
        self.wait_for_shell()
        return status

    # The screen ----------------------------------------------------------------------

    def rows(self):
        return [row.rstrip() for row in self.screen.display]

    def cursor(self):
        return self.screen.cursor.y, self.screen.cursor.x

    def dump(self):
        rows = "\n".join(f"{index:2}|{row}" for index, row in enumerate(self.screen.display))
        return f"screen (cursor row {self.screen.cursor.y}, column {self.screen.cursor.x}):\n{rows}\n" \
               f"last bytes: {bytes(self.log[-400:])!r}"

    def on_screen(self, text):
        return any(text in row for row in self.screen.display)

    def wait_for_screen(self, text):
        self.wait_for(lambda: self.on_screen(text), f"{text!r} on the screen")

    def wait_for_pause(self):
        """The pause's prompt is shown in full with the cursor right after its last blank."""
        def paused():
            row, column = self.cursor()
            return self.screen.display[row][:column].endswith(PAUSE_PROMPT)
        self.wait_for(paused, "the pause's prompt with the cursor after it")

    def wait_for_menu(self):
        def at_menu():
            row, column = self.cursor()
            return self.screen.display[row][:column] == MENU_PROMPT
        self.wait_for(at_menu, "the menu's prompt with the cursor after it")
        self.test.assertEqual(self.rows()[0], "What kind of dice do you wish to roll?", self.dump())

    def wait_for_another_choice(self):
        self.wait_for(lambda: self.rows()[:4] == [ANOTHER_CHOICE.rstrip(), "", "1)    Yes", "2)    No"]
                      and self.cursor() == (4, 0), "the another-choice screen")


class TerminalTestCase(unittest.TestCase):
    def terminal(self, **options):
        terminal = Terminal(self, **options)
        self.addCleanup(terminal.close)
        return terminal

    def start(self, terminal):
        """Starts the program and answers its two start-up pauses."""
        terminal.run(PROGRAM)
        terminal.wait_for_pause()
        terminal.type("x")
        terminal.wait_for_screen("HAVE A NICE DAY!")
        terminal.wait_for_pause()
        terminal.type("x")
        terminal.wait_for_menu()


class Dialogue(TerminalTestCase):
    def test_a_whole_run_with_a_digit_key_at_the_pause(self):
        terminal = self.terminal()
        modes = terminal.stty()
        terminal.run(PROGRAM)

        # The notice starts below the command line: the first screen is not cleared.
        terminal.wait_for_pause()
        rows = terminal.rows()
        command_row = next(i for i, row in enumerate(rows) if row.endswith(PROGRAM))
        self.assertEqual(rows[command_row + 1:command_row + 4],
                         ["Please Press <ALT> + <ENTER>", "", PAUSE_PROMPT.rstrip()], terminal.dump())
        terminal.assert_quiet("the notice's pause")

        # The banner on an empty screen, its long line wrapped at the 80th column.
        terminal.type("x")
        terminal.wait_for_screen("HAVE A NICE DAY!")
        terminal.wait_for_pause()
        self.assertIn(b"\x1b[H\x1b[2J\x1b[3J", terminal.since_mark())
        self.assertFalse(terminal.on_screen(SHELL_PROMPT) or terminal.on_screen("<ALT>"),
                         "the clear leaves nothing of the screen before it\n" + terminal.dump())
        # Its first row holds one blank, which no screen shows: the bytes do.
        self.assertIn(b"\x1b[3J \r\n\r\n\r\n\r\n\r\n\r\n THIS PROGRAM", terminal.since_mark())
        screen = terminal.screen.display
        self.assertEqual(terminal.rows()[1:6], [""] * 5)
        self.assertEqual(screen[6].rstrip(), " THIS PROGRAM WILL BE USED TO SIMULATE DICE ROLLS FOR")
        self.assertTrue(screen[7].startswith(" ROLE PLAYING GAMES. "), terminal.dump())
        self.assertEqual(screen[13].rstrip(),
                         " FOR BODILY HARM, OR DEATH RESULTING FROM DISPUTES RESULTING FROM")
        # The long line fills the row up to the fifth of the six blanks after THIS ...
        self.assertEqual(screen[14],
                         " THE OUTPUT OF THIS PROGRAM.  IF YOU HAVE AN COMMENTS OR IDEAS TO MAKE THIS     ")
        # ... so that its second row begins with the sixth.
        self.assertTrue(screen[15].startswith(" PRODUCT BETTER, YOU CAN CONTACT ME AT "), terminal.dump())
        self.assertEqual(terminal.rows()[16:19], [" HAVE A NICE DAY!", "", PAUSE_PROMPT.rstrip()])
        self.assertEqual(terminal.cursor(), (18, len(PAUSE_PROMPT)))
        # The key pressed at the notice's pause was not echoed.
        self.assertFalse(terminal.on_screen("ENTER>x"))

        # The menu on an empty screen, waiting right after its prompt's last blank.
        terminal.type("x")
        terminal.wait_for_menu()
        self.assertEqual(terminal.rows()[1:12],
                         ["", " 1)   Roll to Hit", " 2)   4 sided", " 3)   6 sided", " 4)   8 sided",
                          " 5)   10 sided", " 6)   12 sided", " 7)   20 sided", " 8)   Percentile Dice",
                          "", MENU_PROMPT.rstrip()])
        terminal.assert_quiet("the menu's prompt")

        # `3 2` Enter: the pool runs with 2 dice and the pause waits.
        terminal.type("3 2\r")
        terminal.wait_for_pause()
        self.assertEqual(terminal.rows()[1], PAUSE_PROMPT.rstrip(), terminal.dump())
        total = re.fullmatch(r"You Rolled A (\d+)", terminal.rows()[0])
        self.assertTrue(total and 2 <= int(total.group(1)) <= 12, terminal.dump())
        terminal.assert_quiet("the pause after the roll")

        # Key `1` at the pause, then ` 2` Enter: the program ends. Had the 1 leaked into
        # the number stream, the answer would read 1 and the menu would come back.
        terminal.type("1")
        terminal.wait_for_another_choice()
        self.assertFalse(terminal.on_screen("1)    Yes1"))
        terminal.assert_quiet("the another-choice prompt")
        terminal.type(" 2\r")
        terminal.wait_for_shell()
        self.assertEqual(terminal.rows()[4], " 2", "the answer stays on the screen\n" + terminal.dump())
        self.assertEqual(terminal.exit_status(), 0)
        self.assertEqual(terminal.stty(), modes)

    def test_numbers_typed_ahead_survive_pauses_and_clears(self):
        terminal = self.terminal()
        self.start(terminal)

        # `9 1` Enter: no roll, the pause still waits, then the 1 answers the question.
        terminal.type("9 1\r")
        terminal.wait_for_pause()
        self.assertEqual(terminal.rows()[:2], [PAUSE_PROMPT.rstrip(), ""], terminal.dump())
        terminal.assert_quiet("the pause with a number typed ahead")
        terminal.type("k")
        terminal.wait_for_menu()
        self.assertIn(ANOTHER_CHOICE.encode(), terminal.since_mark())

        # Whole lines typed ahead: the percentile line, the pause's key and the answer, all
        # in the terminal before the program reads the first of them.
        terminal.type("8\rq 2\r")
        terminal.wait_for_shell()
        output = terminal.since_mark()
        self.assertRegex(output, rb"You Rolled A (\d+)\r\nPress any key to continue \. \. \. \r\n")
        self.assertEqual(terminal.exit_status(), 0)

    def test_keys_typed_while_the_program_is_busy_are_kept(self):
        terminal = self.terminal()
        self.start(terminal)
        # The largest pool keeps the program busy for a moment; the key for the pause after
        # it and the closing answer are already in the terminal while it rolls, and going
        # into the pause's mode must not throw them away.
        terminal.type("7 1073741824\rz 2\r")
        terminal.wait_for_shell()
        output = terminal.since_mark()
        self.assertRegex(output, rb"You Rolled A \d+\r\n" + re.escape(PAUSE_PROMPT.encode()))
        self.assertIn(ANOTHER_CHOICE.encode(), output)
        self.assertEqual(terminal.exit_status(), 0)

    def test_no_key_at_a_pause_leaks_into_the_next_answer(self):
        # After each key, `1` Enter must bring the menu back; a leaked byte would join the
        # answer into a word that is no number, and the program would end.
        keys = {
            "arrow up": "\x1b[A",
            "F1": "\x1bOP",
            "F5": "\x1b[15~",
            "Delete": "\x1b[3~",
            "a letter with an accent": "\u00e9".encode(),
            "a Chinese character": "\u4e2d".encode(),
            "Enter": "\r",
            "Ctrl-D": "\x04",
            "the space bar": " ",
            "Escape alone": "\x1b",
        }
        terminal = self.terminal()
        self.start(terminal)
        for name, key in keys.items():
            with self.subTest(key=name):
                terminal.type("9\r")
                terminal.wait_for_pause()
                terminal.type(key)
                terminal.wait_for_another_choice()
                terminal.type("1\r")
                terminal.wait_for_menu()
        # Keys and the next answer typed in one go: the key's end is found without taking
        # the bytes that follow it, even where they do not fit the key's own form.
        ahead = {
            "arrow up": b"\x1b[A",
            "a lone Latin-1 letter": b"\xe9",
        }
        for name, key in ahead.items():
            with self.subTest(key=name, typed_ahead=True):
                terminal.type("9\r")
                terminal.wait_for_pause()
                terminal.type(key + b"1\r")
                terminal.wait_for_menu()
        terminal.type("9\r")
        terminal.wait_for_pause()
        terminal.type("k")
        terminal.wait_for_another_choice()
        terminal.type("2\r")
        terminal.wait_for_shell()
        self.assertEqual(terminal.exit_status(), 0)


class TerminalModes(TerminalTestCase):
    def test_end_of_input_at_a_prompt(self):
        # Ctrl-D where a number should start: status 0, and the shell's prompt on a line of its own.
        for prompt, typed in (("the menu", ""), ("the dice count", "3\r"), ("another choice", "0\r")):
            with self.subTest(prompt=prompt):
                terminal = self.terminal()
                modes = terminal.stty()
                self.start(terminal)
                if typed:
                    terminal.type(typed)
                    if prompt == "another choice":
                        terminal.wait_for_pause()
                        terminal.type("k")
                        terminal.wait_for_another_choice()
                    else:
                        terminal.wait_for_screen("How many dice do you want to roll?")
                row, column = terminal.cursor()
                terminal.type("\x04")
                terminal.wait_for_shell()
                self.assertEqual(terminal.cursor(), (row + 1, len(SHELL_PROMPT)), terminal.dump())
                self.assertEqual(terminal.rows()[row + 1], SHELL_PROMPT.rstrip())
                self.assertEqual(terminal.exit_status(), 0)
                self.assertEqual(terminal.stty(), modes)

    def test_modes_restored_after_a_signal_key(self):
        cases = (
            ("Ctrl-C during a pause", "pause", "\x03", 130),
            ("Ctrl-C during a read", "read", "\x03", 130),
            ("Ctrl-\\ during a pause", "pause", "\x1c", 131),
        )
        for name, where, key, status in cases:
            with self.subTest(case=name):
                terminal = self.terminal()
                modes = terminal.stty()
                terminal.run("ulimit -c 0")
                if where == "pause":
                    terminal.run(PROGRAM)
                    terminal.wait_for_pause()
                else:
                    self.start(terminal)
                terminal.type(key)
                terminal.wait_for_shell()
                self.assertEqual(terminal.exit_status(), status)
                self.assertEqual(terminal.stty(), modes)

    def test_a_signal_ignored_by_whoever_started_it_stays_ignored(self):
        terminal = self.terminal()
        modes = terminal.stty()
        # The shell ignores Ctrl-C and so, inherited, does the program it starts.
        terminal.run("trap '' INT")
        terminal.wait_for_shell()
        terminal.run(PROGRAM)
        terminal.wait_for_pause()
        terminal.type("\x03")
        terminal.assert_quiet("the pause after an ignored Ctrl-C")
        terminal.type("x")
        terminal.wait_for_screen("HAVE A NICE DAY!")
        terminal.wait_for_pause()
        terminal.type("x")
        terminal.wait_for_menu()
        terminal.type("\x04")
        terminal.wait_for_shell()
        self.assertEqual(terminal.exit_status(), 0)
        self.assertEqual(terminal.stty(), modes)

    def test_ctrl_z_during_a_pause_then_fg(self):
        terminal = self.terminal()
        modes = terminal.stty()
        terminal.run(PROGRAM)
        terminal.wait_for_pause()
        terminal.type("\x1a")
        terminal.wait_for_shell()
        self.assertIn(b"Stopped", terminal.since_mark())
        # While stopped, the shell has the terminal as it was.
        self.assertEqual(terminal.stty(), modes)
        terminal.fg()
        # The pause goes on waiting ...
        terminal.assert_quiet("the pause after fg")
        # ... in its own mode: one key without Enter ends it, and is not echoed.
        terminal.type("q")
        terminal.wait_for_screen("HAVE A NICE DAY!")
        self.assertFalse(terminal.on_screen("q"), terminal.dump())
        terminal.wait_for_pause()
        # Stopped and continued during a read, too: the read goes on with echo.
        terminal.type("x")
        terminal.wait_for_menu()
        terminal.type("\x1a")
        terminal.wait_for_shell()
        self.assertEqual(terminal.stty(), modes)
        terminal.fg()
        terminal.assert_quiet("the menu after fg")
        terminal.type("99")
        terminal.wait_for(lambda: terminal.screen.display[terminal.cursor()[0]][:terminal.cursor()[1]] == "99",
                          "the answer echoed")
        terminal.type("\r")
        terminal.wait_for_pause()
        terminal.type("k")
        terminal.wait_for_another_choice()
        terminal.type("2\r")
        terminal.wait_for_shell()
        self.assertEqual(terminal.exit_status(), 0)
        self.assertEqual(terminal.stty(), modes)

    def test_started_in_the_background_then_fg(self):
        # bash edits its command line with echo off; a program started with & must not take
        # that for the terminal's modes, or every later answer would be typed blind.
        terminal = self.terminal(shell="bash")
        modes = terminal.stty()
        terminal.run(PROGRAM + " &")
        started = len(terminal.log)
        # The job's first screen and the shell's next prompt come in either order.
        terminal.wait_for(lambda: PAUSE_PROMPT.encode() in terminal.since_mark()
                          and re.search(rb"\[1\] \d+\r\n(.*?)" + re.escape(SHELL_PROMPT.encode()),
                                        terminal.since_mark(), re.DOTALL),
                          "the job's pause and the shell's prompt")
        # The job stops at its pause, before it touches the terminal's modes.
        terminal.assert_quiet("the pause of a job in the background")
        terminal.type("\r")
        # bash reports the stop before its next prompt: the one after this Enter, or, when
        # the job stopped first, already the one it showed right after starting the job.
        terminal.wait_for(lambda: b"Stopped" in bytes(terminal.log[started:]), "'Stopped'")
        terminal.wait_for_shell()
        terminal.fg()
        terminal.assert_quiet("the pause after fg")
        terminal.type("x")
        terminal.wait_for_screen("HAVE A NICE DAY!")
        terminal.wait_for_pause()
        terminal.type("x")
        terminal.wait_for_menu()
        terminal.type("3 2")
        terminal.wait_for_screen(MENU_PROMPT + "3 2")
        terminal.type("\r")
        terminal.wait_for_pause()
        terminal.type("k")
        terminal.wait_for_another_choice()
        terminal.type(" 2")
        terminal.wait_for(lambda: terminal.rows()[4] == " 2", "the answer echoed")
        terminal.type("\r")
        terminal.wait_for_shell()
        self.assertEqual(terminal.exit_status(), 0)
        self.assertEqual(terminal.stty(), modes)


class OtherTerminals(TerminalTestCase):
    def test_dumb_terminal(self):
        terminal = self.terminal(environment={"TERM": "dumb"})
        modes = terminal.stty()
        terminal.run(PROGRAM)
        start = terminal.mark
        terminal.wait_for_pause()
        terminal.assert_quiet("the notice's pause")
        terminal.type("x")
        terminal.wait_for_text("HAVE A NICE DAY!\r\n\r\n" + PAUSE_PROMPT)
        self.assertTrue(terminal.since_mark().startswith(b"\r\n\x0c \r\n"), terminal.since_mark()[:20])
        terminal.assert_quiet("the banner's pause")
        terminal.type("x")
        terminal.wait_for_text(MENU_PROMPT)
        terminal.type("3 2\r")
        terminal.wait_for_text(PAUSE_PROMPT)
        terminal.assert_quiet("the pause after the roll")
        terminal.type("1")
        terminal.wait_for_text("2)    No\r\n")
        terminal.type(" 2\r")
        terminal.wait_for_shell()
        written = bytes(terminal.log[start:])
        self.assertNotIn(b"\x1b", written)
        self.assertEqual(written.count(b"\x0c"), 5)
        self.assertEqual(terminal.exit_status(), 0)
        self.assertEqual(terminal.stty(), modes)

    def test_output_to_a_file_with_the_keyboard_on_the_terminal(self):
        terminal = self.terminal()
        modes = terminal.stty()
        path = os.path.join(terminal.directory, "out")
        terminal.run(PROGRAM + " > out")

        def written():
            with open(path, "rb") as file:
                return file.read()

        def wait_for_pauses(count):
            terminal.wait_for(lambda: os.path.exists(path) and written().count(PAUSE_PROMPT.encode()) == count
                              and written().endswith(PAUSE_PROMPT.encode()), f"pause {count} in the file")
            size = len(written())
            time.sleep(QUIET)
            self.assertEqual(len(written()), size, "the pause should wait for its key")

        wait_for_pauses(1)
        terminal.type("x")
        wait_for_pauses(2)
        terminal.type("x")
        terminal.wait_for(lambda: written().endswith(MENU_PROMPT.encode()), "the menu in the file")
        terminal.type("3 2\r")
        wait_for_pauses(3)
        terminal.type("1")
        terminal.wait_for(lambda: written().endswith(b"2)    No\n"), "the question in the file")
        terminal.type(" 2\r")
        terminal.wait_for_shell()
        self.assertEqual(terminal.exit_status(), 0)
        self.assertEqual(terminal.stty(), modes)
        # The typed numbers were echoed by the terminal; the pause keys were not.
        self.assertIn(b"3 2\r\n", terminal.log)
        self.assertNotIn(b"x", terminal.log[terminal.log.find(b"> out\r\n"):])
        output = written()
        self.assertTrue(output.startswith(b"Please Press <ALT> + <ENTER>\n\n" + PAUSE_PROMPT.encode()
                                          + b"\n\x0c \n\n\n\n\n\n THIS PROGRAM"), output[:80])
        self.assertNotIn(b"\x1b", output)
        self.assertRegex(output, rb"\x0cYou Rolled A \d+\n" + re.escape(PAUSE_PROMPT.encode()) + rb"\n\x0c"
                         + re.escape(ANOTHER_CHOICE.encode()) + rb"\n\n1\)    Yes\n2\)    No\n\Z")


def main():
    global DICE
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    DICE = os.path.abspath(sys.argv[1])
    module = sys.modules[__name__]
    names = sys.argv[2:]
    loader = unittest.defaultTestLoader
    suite = loader.loadTestsFromNames(names, module) if names else loader.loadTestsFromModule(module)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    # A failing case of a table reports its test method once per failing row.
    failed = len({getattr(test, "test_case", test).id() for test, _ in result.failures + result.errors})
    passed = result.testsRun - failed - len(result.skipped)
    print(f"terminal: {passed} passed, {failed} failed, {len(result.skipped)} skipped")
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
