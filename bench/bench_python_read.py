"""Python read of the benchmark layer (1,000,000 lines of 10 vertices with
three attributes): every record into numpy arrays at once (geometry() and
table(), through the run readers when they are built), and every record as a
Record with its attributes. Run bench_convert --keep DIR first; then
    python3 bench/bench_python_read.py DIR
One line a measurement, in seconds."""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "python"))
import orvoapi  # noqa: E402

path = os.path.join(sys.argv[1], "bench.bspatial")
with orvoapi.Layer(path) as layer:
    times, parts, cpu = [], [], []
    for _ in range(5):  # allocation of the arrays varies from run to run
        c = time.process_time()
        t = time.perf_counter()
        geometry = layer.geometry()
        between = time.perf_counter()
        table = layer.table()
        times.append(time.perf_counter() - t)
        cpu.append(time.process_time() - c)
        parts.append((between - t, times[-1] - (between - t)))
    parts = sorted(parts, key=sum)[2]
    times.sort()
    cpu.sort()
    print("geometry() and table(): %d records, %d vertices, %d columns, "
          "%.3f s median of 5, %.3f s best%s" % (
              len(geometry.ids), len(geometry.xy), len(table.columns), times[2], times[0],
              "" if orvoapi._lib.runs else " (record by record: no run readers)"))
    print("  of the median: geometry() %.3f s, table() %.3f s; CPU %.3f s median, %.3f s best"
          % (parts + (cpu[2], cpu[0])))
    t = time.perf_counter()
    n = sum(1 for _ in layer)
    print("records with attributes: %d records, %.3f s" % (n, time.perf_counter() - t))
