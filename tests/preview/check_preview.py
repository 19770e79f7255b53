#!/usr/bin/env python3
"""Checks the preview page as Chromium read it (its DOM, dumped) against the example
configuration: every configured message must be on the player's screen exactly once,
with its text, its sender and the colour the game shows, and nothing else may be.

Usage: check_preview.py DOM.html PAGE.html CONFIG.json PLAYER_ID PLAYER_NAME [PLAYER_COUNT]
"""
import json
import re
import sys
from html.parser import HTMLParser

VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta",
        "source", "track", "wbr"}


def shown_byte(linear):
    """The 8-bit value the game shows for a linear component: sRGB encoding."""
    linear = min(max(linear, 0.0), 1.0)
    encoded = linear * 12.92 if linear <= 0.0031308 else 1.055 * linear ** (1 / 2.4) - 0.055
    return round(encoded * 255)


def chat_colour(rgb):
    """Chat lines carry the configured colour in their markup, divided by 255 and printed
    with six significant digits, unless all three are at most 1; the game reads those
    values as linear colour."""
    if all(component <= 1 for component in rgb):
        values = rgb
    else:
        values = [float("%g" % (component / 255)) for component in rgb]
    return tuple(shown_byte(value) for value in values)


def object_colour(colour):
    return tuple(int(colour.get(key, 0)) % 256 for key in ("R", "G", "B"))


def number(value):
    return "%g" % value


class Messages(HTMLParser):
    """Collects every element of class "message" with its coloured pieces."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.stack = []
        self.messages = []
        self.capture = None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        classes = (attrs.get("class") or "").split()
        if tag not in VOID:
            self.stack.append((tag, attrs, classes))
        player = next((a.get("data-player") for _, a, _ in reversed(self.stack)
                       if a.get("data-player")), None)
        if "message" in classes:
            self.messages.append({"kind": attrs.get("data-kind"), "player": player,
                                  "sender": "", "spans": [], "meta": ""})
        elif self.messages and self.inside("message"):
            if "coloured" in classes:
                match = re.fullmatch(r"color: rgb\((\d+), (\d+), (\d+)\)", attrs.get("style", ""))
                colour = tuple(int(group) for group in match.groups()) if match else "unreadable"
                self.messages[-1]["spans"].append([colour, ""])
                self.capture = "span"
            elif "sender" in classes:
                self.capture = "sender"
            elif "meta" in classes:
                self.capture = "meta"

    def inside(self, css_class):
        return any(css_class in classes for _, _, classes in self.stack)

    def handle_endtag(self, tag):
        if tag in VOID:
            return
        while self.stack:
            if self.stack.pop()[0] == tag:
                break
        self.capture = None

    def handle_data(self, data):
        if not self.messages or self.capture is None:
            return
        message = self.messages[-1]
        if self.capture == "span":
            message["spans"][-1][1] += data
        else:
            message[self.capture] += data


def count_form(name):
    """The form "{Name|one|more}": a count with the word that fits it."""
    return re.compile(r"\{%s\|([^{}|]*)\|([^{}|]*)\}" % name)


def with_count(text, name, value):
    """A count filled in, written plain or with its words."""
    text = count_form(name).sub(
        lambda words: "%d %s" % (value, words.group(1) if value == 1 else words.group(2)), text)
    return text.replace("{%s}" % name, str(value))


def filled(text, player_name, player_count):
    """A text as the player reads it: the player's name and the player count filled in."""
    return with_count(text.replace("{PlayerName}", player_name), "PlayerCount", player_count)


def expected_messages(config, player_name, player_count):
    """Every message the example configuration makes, as (kind, sender, lines, colour, meta).
    A line may be a compiled pattern where the text depends on the moment it is sent."""
    section = config.get("Bellwright", {})
    sender_name = section.get("ClientChatSenderName", "Bellwright")
    found = []

    def add(kind, text, rgb, sender="", scale=None, time=None, icon=""):
        if kind == "Server":
            found.append(("server", None, [text], rgb, None))
        elif kind == "Notification":
            meta = "scale %s · %s s · %s" % (number(scale), number(time),
                                            "icon " + icon if icon else "no icon")
            found.append(("notification", None, [text], rgb, meta))
        else:
            lines = [line for line in text.split("\n") if line] if isinstance(text, str) else [text]
            found.append(("chat", sender, lines, chat_colour(rgb), None))

    def add_entry(entry, text):
        """An announcement entry with the keys of a timed message."""
        add(entry.get("MessageType", "Chat"), text,
            object_colour(entry.get("MessageColour", {})), entry.get("Sender", "Bellwright"),
            entry.get("DisplayScale", 1.0), entry.get("DisplayTime", 10.0),
            entry.get("Icon_BP", ""))

    welcome = section.get("WelcomeMessage", {})
    # The welcome's own text, the first-join text and each group's, all with the same look.
    welcome_texts = [welcome.get("Message", "Welcome to the server {0}")]
    if welcome.get("FirstJoinMessage"):
        welcome_texts.append(welcome["FirstJoinMessage"])
    welcome_texts += [entry["Message"] for entry in welcome.get("GroupMessages", [])
                      if isinstance(entry, dict) and isinstance(entry.get("Group"), str)
                      and isinstance(entry.get("Message"), str)]
    for text in welcome_texts:
        add(welcome.get("WelcomeMessageType", "Chat"),
            filled(text.replace("{0}", player_name), player_name, player_count),
            object_colour(welcome.get("WelcomeMessageColour", {})), sender_name,
            section.get("NotificationDisplayScale"), section.get("NotificationDisplayTime"),
            welcome.get("Icon_BP", ""))
    for command in config.get("CustomCommands", {}).values():
        add(command.get("Type"), filled(command.get("Message", ""), player_name, player_count),
            tuple(int(value) % 256 for value in command["MessageColor"][:3]),
            command.get("Sender", ""), command.get("DisplayScale", 0.0),
            command.get("DisplayTime", 0.0), command.get("Icon_BP", ""))
    add("Chat", config.get("NoPermission", "You don't have permission to perform this command"),
        (255, 0, 0), sender_name)
    if any(command.get("CooldownSeconds", 0) > 0
           for command in config.get("CustomCommands", {}).values()):
        line = config.get("CooldownMessage",
                          "Please wait {Seconds} s before using {Command} again.")
        pattern = re.escape(line).replace(re.escape("{Seconds}"), r"\d+")
        pattern = pattern.replace(re.escape("{Command}"), r"\S+")
        found.append(("chat", sender_name, [re.compile(pattern)], chat_colour((255, 0, 0)), None))
    timed_section = config.get("TimedMessages", {})
    opt_out_command = timed_section.get("OptOutCommand", "")
    if opt_out_command:
        for key, default in (
                ("OptOutOffMessage",
                 "Timed messages are off for you. Type {Command} to turn them back on."),
                ("OptOutOnMessage", "Timed messages are on for you again.")):
            add("Chat", timed_section.get(key, default).replace("{Command}", opt_out_command),
                (0, 255, 0), sender_name)
    announcements = list(timed_section.get("Messages", []))
    for announcement_list in config.get("Announcements", []):
        if announcement_list.get("Enabled", True):
            announcements += announcement_list.get("Messages", [])
    for timed in announcements:
        add_entry(timed, filled(timed.get("MessageToSend", ""), player_name, player_count))
    # Each countdown step of each clock time of a schedule.
    for schedule in config.get("Schedules", []):
        if not schedule.get("Enabled", True):
            continue
        for clock_time in schedule.get("At", []):
            for minutes in schedule.get("Before", [0]):
                text = with_count(schedule.get("MessageToSend", ""), "Minutes", minutes)
                add_entry(schedule, filled(text.replace("{Time}", clock_time), player_name,
                                           player_count))
    # The restart countdown at each of its steps, its last word and its cancel message.
    countdown = config.get("Countdown")
    if countdown is not None:
        style = dict(countdown, MessageType=countdown.get("MessageType", "Server"))
        style.setdefault("MessageColour", {"R": 255, "G": 64, "B": 64})
        text = countdown.get("MessageToSend", "Server restart in {Minutes|minute|minutes}")
        for minutes in countdown.get("Steps", [15, 10, 5, 3, 2, 1]):
            add_entry(style, with_count(text, "Minutes", minutes))
        if countdown.get("FinalMessage"):
            add_entry(style, countdown["FinalMessage"])
        add_entry(style, countdown.get("CancelMessage", "The restart is cancelled."))
    return found


def same_lines(shown, expected):
    return len(shown) == len(expected) and all(
        line.fullmatch(text) if isinstance(line, re.Pattern) else line == text
        for text, line in zip(shown, expected))


def readable(lines):
    return [line.pattern if isinstance(line, re.Pattern) else line for line in lines]


def close(one, other):
    return one != "unreadable" and all(abs(a - b) <= 1 for a, b in zip(one, other))


def main():
    dom_file, page_file, config_file, player_id, player_name = sys.argv[1:6]
    player_count = int(sys.argv[6]) if len(sys.argv) > 6 else 1
    with open(page_file, encoding="utf-8") as page:
        source = page.read()
    with open(dom_file, encoding="utf-8") as dom:
        parser = Messages()
        parser.feed(dom.read())
    with open(config_file, encoding="utf-8") as config:
        expected = expected_messages(json.load(config), player_name, player_count)

    failures = []
    for forbidden in ("<script", "http://", "https://", "<link", "url(", 'src="'):
        if forbidden in source:
            failures.append("the page is not self-contained: it holds %r" % forbidden)
    if not parser.messages:
        failures.append("the page shows no messages at all")
    for message in parser.messages:
        if message["player"] != player_id:
            failures.append("a message outside %s's screen: %r" % (player_id, message))
    for kind, sender, lines, colour, meta in expected:
        candidates = [m for m in parser.messages if m["kind"] == kind
                      and same_lines([text for _, text in m["spans"]], lines)
                      and (sender is None or m["sender"] == sender)]
        lines = readable(lines)
        if not candidates:
            failures.append("missing: %s %r from %r" % (kind, lines, sender))
            continue
        if len(candidates) > 1:
            failures.append("%d times instead of once: %s %r" % (len(candidates), kind, lines))
        for candidate in candidates:
            wrong = [shown for shown, _ in candidate["spans"] if not close(shown, colour)]
            if wrong:
                failures.append("%s %r shows %r, the game shows %r" % (kind, lines, wrong, colour))
            if meta is not None and candidate["meta"] != meta:
                failures.append("%s %r: %r, expected %r" % (kind, lines, candidate["meta"], meta))

    if len(parser.messages) != len(expected):
        failures.append("%d messages on the page for %d configured ones"
                        % (len(parser.messages), len(expected)))
    for failure in failures:
        print("FAIL:", failure, file=sys.stderr)
    print("%d messages on the page, %d configured, %d failures"
          % (len(parser.messages), len(expected), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
