#!/usr/bin/env python3
"""Writes src/app/about.rtf: the about text in Russian as cp1251 RTF, every non-ASCII
byte escaped as \\'xx so the file itself stays 7-bit. Run it after editing TEXT."""
import os

TEXT = [
    ("h", "Velmoria — личный органайзер"),
    ("p", "Velmoria хранит дела, напоминания, контакты, фирмы, даты, заметки и таблицы "
          "одного человека на одном компьютере. Все книги — обычные файлы в папке программы: "
          "их можно копировать, переносить на другой компьютер и хранить в архиве."),
    ("s", "Книги"),
    ("b", "Данные — свои таблицы с именованными столбцами, при желании под паролем."),
    ("b", "Контакты и Фирмы — карточки людей и организаций: набор номера, письмо, сайт."),
    ("b", "Даты — праздники, памятные дни, именины и дни рождения."),
    ("b", "Блокнот — дерево заметок с оформленным текстом."),
    ("b", "Дела — записи по разделам с напоминаниями по дате, по календарю или через промежуток."),
    ("b", "а ля Excel — листы с ячейками, шрифтами, цветами и объединением."),
    ("s", "Полезно знать"),
    ("b", "F12 убирает окно в область уведомлений; щелчок по значку возвращает его."),
    ("b", "Перед скрытием и при выходе все книги сохраняются; папка Temp при выходе очищается."),
    ("b", "Настройки на этой странице записываются сразу, без кнопки «Применить»."),
    ("s", "Связь"),
    ("p", "Новости и новые версии: http://www.velmoria.example/"),
    ("p", "Письма с вопросами и пожеланиями: mailto:mail@velmoria.example"),
]

def esc(s):
    out = []
    for ch in s:
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ord(ch) < 128:
            out.append(ch)
        else:
            for b in ch.encode("cp1251"):
                out.append("\\'%02x" % b)
    return "".join(out)

lines = [
    r"{\rtf1\ansi\ansicpg1251\deff0\deflang1049",
    r"{\fonttbl{\f0\fswiss\fcharset204 Arial;}{\f1\froman\fcharset204 Times New Roman;}}",
    r"{\colortbl;\red27\green73\blue101;\red64\green64\blue64;}",
    r"\viewkind4\uc1",
]
for kind, text in TEXT:
    if kind == "h":
        lines.append(r"\pard\sa120\cf1\b\i\f0\fs28 " + esc(text) + r"\b0\i0\par")
    elif kind == "s":
        lines.append(r"\pard\sb120\sa60\cf1\b\f0\fs22 " + esc(text) + r"\b0\par")
    elif kind == "b":
        lines.append(r"\pard\fi-220\li440\tx440\sa40\cf2\f0\fs20 \bullet\tab " + esc(text) + r"\par")
    else:
        lines.append(r"\pard\sa80\cf2\f0\fs20 " + esc(text) + r"\par")
lines.append("}")
path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "about.rtf")
with open(path, "w", newline="\r\n", encoding="ascii") as f:
    f.write("\n".join(lines) + "\n")
print(path)
