#!/usr/bin/python3
"""Reads what velmoria-cli writes for other programs with independent parsers.

The contacts, firms, task and date files are made here in the program's own form
(Windows-1251, record lines), written out by the CLI as vCard 3.0 and 4.0 and iCalendar,
and read back by python3-vobject and python3-icalendar; the .ics is also read back by
the CLI. Usage: interop_check.py PATH-TO-velmoria-cli
"""
import datetime
import os
import subprocess
import sys
import tempfile

import icalendar
import vobject

CLI = sys.argv[1]
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print("FAIL:", what)


def cli(*args):
    run = subprocess.run([CLI, *args], capture_output=True)
    check(run.returncode == 0, "velmoria-cli %s: %s" % (args[0], run.stderr.decode("utf-8", "replace")))
    return run.stdout.decode("utf-8")


def book(path, records):
    with open(path, "wb") as f:
        for r in records:
            f.write("|".join(r).encode("cp1251") + b"\r\n")


def task(**fields):
    names = {"headline": 0, "notes": 1, "date": 3, "deadline": 5, "task": 7, "group": 9, "state": 13,
             "bydate": 14, "day": 15, "month": 16, "year": 17, "withtime": 39, "hour": 43, "minute": 44,
             "status": 50, "weekahead": 45}
    r = [""] * 54
    for k, v in fields.items():
        r[names[k]] = v
    return r


with tempfile.TemporaryDirectory() as d:
    contacts = os.path.join(d, "cont.dbc")
    long_title = "Главный специалист по очень длинным названиям должностей, которые не помещаются"
    book(contacts, [
        ["Иванов Иван Иванович", long_title, "ООО «Ромашка»; филиал", "Москва", "+7 495 123-45-67",
         "+7 916 000-00-01", "", "", "ivanov@example.ru", "http://example.ru", "123456789",
         "ул. Тверская, 1ERN:кв. 5", "Звонить после 10:00"],
        ["Петрова Анна", "", "", "", "", "", "", "", "", "", "", "", ""],
    ])
    for version in ("3.0", "4.0"):
        out = os.path.join(d, "c%s.vcf" % version)
        cli("cards-vcard", contacts, out, "--version", version)
        raw = open(out, "rb").read()
        check(all(len(line) <= 75 for line in raw.split(b"\r\n")), "vCard %s lines within 75 octets" % version)
        cards = list(vobject.readComponents(raw.decode("utf-8")))
        check(len(cards) == 2, "vobject reads two cards of %s" % version)
        c = cards[0]
        check(c.version.value == version, "version %s" % version)
        check(c.fn.value == "Иванов Иван Иванович", "FN %s" % version)
        check(c.n.value.family == "Иванов" and c.n.value.given == "Иван" and c.n.value.additional == "Иванович",
              "N split %s: %r" % (version, c.n.value))
        check(c.title.value == long_title, "folded TITLE %s" % version)
        check(c.org.value == ["ООО «Ромашка»; филиал"], "ORG %s: %r" % (version, c.org.value))
        check(c.adr.value.street == "ул. Тверская, 1\nкв. 5" and c.adr.value.city == "Москва",
              "ADR %s: %r" % (version, c.adr.value))
        tels = {tuple(sorted(",".join(t.params.get("TYPE", [])).lower().split(","))): t.value for t in c.tel_list}
        check(tels.get(("voice", "work")) == "+7 495 123-45-67", "work TEL %s: %r" % (version, tels))
        check(tels.get(("cell",)) == "+7 916 000-00-01", "cell TEL %s" % version)
        check(c.email.value == "ivanov@example.ru", "EMAIL %s" % version)
        check(c.impp.value == "icq:123456789", "IMPP %s" % version)
        check(c.note.value == "Звонить после 10:00", "NOTE %s" % version)

    firms = os.path.join(d, "firm.dbo")
    book(firms, [["Бумага", "ООО «Бумага»", "Тверь", "+7 4822 11-11-11ERN:+7 4822 22-22-22", "", "", "", "", ""]])
    out = os.path.join(d, "f.vcf")
    cli("cards-vcard", firms, out, "--firms")
    f = vobject.readOne(open(out, encoding="utf-8").read())
    check(f.kind.value == "org" and f.fn.value == "ООО «Бумага»", "firm card")
    check([t.value for t in f.tel_list] == ["+7 4822 11-11-11", "+7 4822 22-22-22"], "firm phones")

    tasks = os.path.join(d, "t.dbw")
    book(tasks, [
        task(headline="Сдать отчёт", notes="Первое ERN:второе", date="20/03/2027", deadline="1", task="1",
             group="3", status="2"),
        task(headline="Годовщина", date="01/03/2027", state="1", bydate="1", day="10", month="04", year="ALL",
             withtime="0", hour="00", weekahead="1"),
        task(headline="Встреча", date="01/03/2027", state="1", bydate="1", day="15", month="03", year="2031",
             withtime="1", hour="09", minute="30"),
        task(headline="После девяти", date="01/03/2027", state="1", bydate="1", day="ALL", month="ALL",
             year="ALL", withtime="1", hour=">09", minute="30"),
    ])
    ics = os.path.join(d, "t.ics")
    out = cli("tasks-ics", tasks, ics)
    check("exported 4" in out and "rules-in-words 1" in out, "tasks-ics counts: %r" % out)
    cal = icalendar.Calendar.from_ical(open(ics, "rb").read())
    todos = [c for c in cal.walk("VTODO")]
    check(len(todos) == 4, "four VTODOs")
    t0, t1, t2, t3 = todos
    check(str(t0["SUMMARY"]) == "Сдать отчёт" and str(t0["DESCRIPTION"]) == "Первое \nвторое", "summary, notes")
    check(t0["DUE"].dt == datetime.date(2027, 3, 20), "DUE date")
    check(str(t0["STATUS"]) == "IN-PROCESS" and int(t0["PRIORITY"]) == 9, "status, priority")
    check(t1["RRULE"]["FREQ"] == ["YEARLY"] and t1["RRULE"]["BYMONTH"] == [4], "yearly RRULE")
    alarms = [a for a in t1.walk("VALARM")]
    check(len(alarms) == 2 and alarms[1]["TRIGGER"].dt == -datetime.timedelta(days=7), "week-ahead alarm")
    check(t2["DTSTART"].dt == datetime.datetime(2031, 3, 15, 9, 30) and t2["DTSTART"].dt.tzinfo is None,
          "floating DTSTART")
    check("RRULE" not in t3 and "X-VELMORIA-RULE" in t3, "rule in words, no RRULE")
    check(all(isinstance(c["DTSTAMP"].dt, datetime.datetime) and c["DTSTAMP"].dt.tzinfo is not None for c in todos),
          "DTSTAMP in UTC")
    back = os.path.join(d, "back.dbw")
    out = cli("ics-tasks", ics, back)
    check(out.startswith("added 4\n") and "left-out\tX-VELMORIA-RULE\t1" in out, "ics-tasks: %r" % out)

    support = os.path.join(d, "prog", "Support")
    os.makedirs(support)
    with open(os.path.join(support, "Birthday.txt"), "wb") as fb:
        fb.write("/2|формат\n12/04/1961/Гагарин Юрий\n".encode("cp1251"))
    with open(os.path.join(support, "Holidays.txt"), "wb") as fh:
        fh.write("/2|формат\n01/01/Новый год\nRP+/49/Троица\nВс3/06/День отца\n".encode("cp1251"))
    dics = os.path.join(d, "dates.ics")
    out = cli("dates-ics", os.path.join(d, "prog"), "2025", dics)
    check(out == "yearly 3\nthis-year 1\n", "dates-ics counts: %r" % out)
    cal = icalendar.Calendar.from_ical(open(dics, "rb").read())
    ev = {str(e["SUMMARY"]): e for e in cal.walk("VEVENT")}
    check(ev["Гагарин Юрий"]["DTSTART"].dt == datetime.date(2025, 4, 12) and
          str(ev["Гагарин Юрий"]["DESCRIPTION"]) == "Год рождения: 1961", "birthday event")
    check(ev["Троица"]["DTSTART"].dt == datetime.date(2025, 6, 8) and "RRULE" not in ev["Троица"], "movable feast")
    check(ev["День отца"]["RRULE"]["BYDAY"] == ["3SU"], "weekday feast")
    # vobject reads the same calendar and expands a yearly rule.
    vcal = vobject.readOne(open(dics, encoding="utf-8").read())
    gagarin = [e for e in vcal.vevent_list if e.summary.value == "Гагарин Юрий"][0]
    dates = list(gagarin.getrruleset())[:3]
    check([x.year for x in dates] == [2025, 2026, 2027], "vobject expands the yearly rule: %r" % dates)

print("interop: %d failures" % len(failures))
sys.exit(1 if failures else 0)
