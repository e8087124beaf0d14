package kx.test;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;

import org.junit.jupiter.api.Test;

class StringsInTheJvmTest {
    @Test
    void eachCharKeepsItsLowByte() {
        assertEquals("00", StringsProbe.ansiBytes(""));
        assertEquals("41e9ac4100", StringsProbe.ansiBytes("A\u00e9\u20ac\u0141"));
        assertEquals("41004200", StringsProbe.ansiBytes("A\u0000B"));
    }

    @Test
    void eachByteBecomesOneCharWithoutCodePage() {
        assertEquals("", StringsProbe.fromAnsiBytes(""));
        assertEquals("\u0080\u00e9\u00ff", StringsProbe.fromAnsiBytes("80e9ff"));
    }

    @Test
    void roundTripsLoseOnlyTheHighByte() {
        assertEquals("caf\u00e9", StringsProbe.roundTrip("caf\u00e9"));
        assertEquals("\u00ac", StringsProbe.roundTrip("\u20ac"));
        assertEquals("A", StringsProbe.roundTrip("A\u0000B"), "U+0000 ends the 8-bit text");
    }

    @Test
    void windows1252MessageBytesArriveAsLatin1Chars() {
        // Windows-1252 bytes that would also read as valid UTF-8 sequences: "Ã©" and "é©©".
        Exception e = assertThrows(Exception.class, () -> StringsProbe.raise("636ce9e820c3a9e9a9a9"));
        assertEquals(Exception.class, e.getClass());
        assertEquals("cl\u00e9\u00e8 \u00c3\u00a9\u00e9\u00a9\u00a9", e.getMessage());
    }

    @Test
    void nullStringRaisesNullPointerExceptionNamingTheParameter() {
        NullPointerException e = assertThrows(NullPointerException.class, () -> StringsProbe.roundTrip(null));
        assertEquals("value is null", e.getMessage());
    }
}
