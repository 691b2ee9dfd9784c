#!/bin/bash
# Checks the English translation is complete:
# 1. no Chinese string literal in the window code is left outside tr,
#    translate, QT_TR_NOOP or QT_TRANSLATE_NOOP, except the texts on the
#    allow-list (written to files or compared as keys);
# 2. with lupdate and lrelease given: every text lupdate finds in the sources
#    has a finished English translation in translations/vexel2d_en.ts.
# Usage: check-translation.sh [source folder [lupdate lrelease]]
set -u
root=${1:-$(dirname "$0")/..}
lupdate=${2:-}
lrelease=${3:-}
cd "$root" || exit 2
status=0
allow=translations/untranslated-allow.txt
found=$(find app widgets web v2dtool tools templates -name '*.cpp' -o -name '*.h' | sort | xargs perl -CSD -ne '
    BEGIN { $wrapped = 0; }
    $wrapped = 0 if $ARGV ne ($last // ""); $last = $ARGV;
    my $line = $_;
    # Comments: whole-line ones and the tail after code.
    if ($line =~ m{^\s*(//|\*|/\*)}) { next; }
    my $code = $line; $code =~ s{("(?:[^"\\]|\\.)*")|//.*$}{defined $1 ? $1 : ""}ge;
    my $continued = ($code =~ /^\s*"/);
    $wrapped = 0 unless $continued;
    $wrapped = 1 if $code =~ /\b(tr|translate|QT_TR_NOOP|QT_TRANSLATE_NOOP)\s*\(/;
    next if $wrapped;
    while ($code =~ /("(?:[^"\\]|\\.)*")/g) {
        my $lit = $1;
        print "$ARGV:$.: $lit\n" if $lit =~ /[\x{3000}-\x{303f}\x{4e00}-\x{9fff}\x{ff00}-\x{ffef}]/;
    }
    close ARGV if eof;
')
# Allowed: a line of the list contained in "file: text" (no line number).
if [ -f "$allow" ]; then
    found=$(printf '%s\n' "$found" | ALLOW="$allow" perl -CSD -ne '
        BEGIN { open my $f, "<:encoding(UTF-8)", $ENV{ALLOW} or die; @allowed = grep { !/^(#|\s*$)/ } map { chomp; $_ } <$f>; }
        my $norm = $_; $norm =~ s/^([^:]+):\d+: /$1: /;
        print unless grep { index($norm, $_) >= 0 } @allowed;')
fi
found=$(printf '%s\n' "$found" | sed '/^$/d')
if [ -n "$found" ]; then
    echo "Chinese texts the translation does not reach:"
    printf '%s\n' "$found"
    status=1
else
    echo "Every Chinese text of the windows is marked for translation."
fi

if [ -n "$lupdate" ] && [ -n "$lrelease" ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cp translations/vexel2d_en.ts "$work/check.ts"
    "$lupdate" -silent -I . -locations none -no-obsolete -extensions cpp,h \
        app widgets web v2dtool tools templates document/edits -ts "$work/check.ts" || exit 2
    report=$("$lrelease" "$work/check.ts" -qm "$work/check.qm" 2>&1)
    if printf '%s\n' "$report" | grep -qE '[1-9][0-9]* unfinished|untranslated'; then
        echo "Texts without a finished English translation:"
        printf '%s\n' "$report"
        grep -B2 'type="unfinished"' "$work/check.ts" | grep '<source>' | head -50
        status=1
    else
        echo "$report" | grep Generated
    fi
fi
exit $status
