// Opens each workbook given with HSSF and writes it back, rounds times in one
// JVM, and prints for each the best round's seconds ("<seconds> <file>"): the
// warm figure. One untimed pass over all the files comes first, so that the
// first file does not pay for compiling the reading and writing paths.
// Usage: java -cp <poi jars> XlsOpenSavePoi.java <rounds> <output folder> <file>...

import java.io.BufferedOutputStream;
import java.io.File;
import java.io.FileInputStream;
import java.io.FileOutputStream;
import java.io.InputStream;
import java.io.OutputStream;

import org.apache.poi.hssf.usermodel.HSSFWorkbook;

public class XlsOpenSavePoi {
    public static void main(String[] args) throws Exception {
        final int rounds = Integer.parseInt(args[0]);
        final File out = new File(args[1], "poi.xls");
        for (int f = 2; f < args.length; ++f)
            openAndSave(args[f], out);
        for (int f = 2; f < args.length; ++f) {
            double best = Double.MAX_VALUE;
            for (int i = 0; i < rounds; ++i)
                best = Math.min(best, openAndSave(args[f], out));
            System.out.println(best + " " + args[f]);
        }
    }

    // Seconds to read the workbook and write it to out.
    static double openAndSave(String path, File out) throws Exception {
        final long start = System.nanoTime();
        try (InputStream in = new FileInputStream(path); HSSFWorkbook book = new HSSFWorkbook(in);
             OutputStream os = new BufferedOutputStream(new FileOutputStream(out))) {
            book.write(os);
        }
        return (System.nanoTime() - start) / 1e9;
    }
}
